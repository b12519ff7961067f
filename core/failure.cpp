#include "core/failure.h"

QString FailureDescription(int number) {
    switch (number) {
        case FailureNumber::InvalidArgument:
            return QStringLiteral("プロシージャの呼び出し、または引数が不正です。");
        case FailureNumber::Overflow:
            return QStringLiteral("オーバーフローしました。");
        case FailureNumber::OutOfMemory:
            return QStringLiteral("メモリが不足しています。");
        case FailureNumber::SubscriptRange:
            return QStringLiteral("インデックスが有効範囲にありません。");
        case FailureNumber::TypeMismatch:
            return QStringLiteral("型が一致しません。");
        case FailureNumber::FileNotFound:
            return QStringLiteral("ファイルが見つかりません。");
        case FailureNumber::PermissionDenied:
            return QStringLiteral("書き込みできません。");
        case FailureNumber::PathNotFound:
            return QStringLiteral("パスが見つかりません。");
        case FailureNumber::ObjectOpen:
            return QStringLiteral("オブジェクトが開いている場合は、操作は許可されません。");
        default:
            return QStringLiteral("エラーが発生しました。");
    }
}

Failure MakeFailure(int number) {
    return Failure{number, FailureDescription(number)};
}
