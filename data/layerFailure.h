#pragma once

#include "core/failure.h"

// Failures that the database layer raises itself, with the numbers the classic data objects
// used for them, so that callers can test them the same way.
namespace LayerFailureNumber {
inline constexpr int NoCurrentRecord = 3021;                  // BOF or EOF, no current row
inline constexpr int InvalidArgument = 3001;                  // a value out of range
inline constexpr int NotInContext = 3219;                     // not allowed in this state
inline constexpr int ObjectClosed = 3704;                     // the object is closed
inline constexpr int ObjectOpen = FailureNumber::ObjectOpen;  // 3705, the object is open
inline constexpr int ProviderNotFound = 3706;                 // a provider other than ODBC
inline constexpr int NoConnection = 3709;                     // the command has no open connection
inline constexpr int NoTransaction = 3724;                    // commit without a transaction begun
}  // namespace LayerFailureNumber

// Builds one of the failures above with its Japanese description.
Failure MakeLayerFailure(int number);
