#include "ui/formFont.h"

QFont FormFont(double points) {
    QFont font(QStringLiteral("Meiryo UI"));
    font.setPointSizeF(points);
    return font;
}
