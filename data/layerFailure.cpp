#include "data/layerFailure.h"

Failure MakeLayerFailure(int number) {
    using namespace LayerFailureNumber;
    switch (number) {
        case NoCurrentRecord:
            return {number, QStringLiteral("BOF と EOF のいずれかが True になっています。"
                                           "この操作には現在のレコードが必要です。")};
        case InvalidArgument:
            return {number, QStringLiteral("引数の型が正しくないか、引数が許容範囲外であるか、"
                                           "または引数が競合しています。")};
        case NotInContext:
            return {number, QStringLiteral("この操作は、このコンテキストでは許可されていません。")};
        case ObjectClosed:
            return {number,
                    QStringLiteral("オブジェクトが閉じている場合は、操作は許可されません。")};
        case ProviderNotFound:
            return {number, QStringLiteral("プロバイダーが見つかりません。")};
        case NoConnection:
            return {number, QStringLiteral("接続が閉じているか、無効なため、"
                                           "この操作を実行できません。")};
        case NoTransaction:
            return {number, QStringLiteral("トランザクションが開始されていません。")};
        default:
            return MakeFailure(number);
    }
}
