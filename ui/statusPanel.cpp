#include "ui/statusPanel.h"

#include <algorithm>

StatusPanel::StatusPanel(const QString &key, QWidget *parent) : QLabel(parent) {
    setObjectName(key);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setTextFormat(Qt::PlainText);
    setIndent(fontMetrics().averageCharWidth() / 2);
    // The height of a line with Latin and Japanese letters, whose glyphs may come from a
    // taller fallback font, so that the bar keeps one height whatever the panels say.
    setText(QStringLiteral("Ag データ"));
    lineHeight_ = QLabel::sizeHint().height();
    setText(QString());
}

void StatusPanel::setFullText(const QString &text) {
    fullText_ = text;
    showFitted();
}

int StatusPanel::WidthToShow(const QStringList &texts) const {
    int widest = 0;
    for (const QString &text : texts) {
        widest = std::max(widest, fontMetrics().horizontalAdvance(text));
    }
    return widest + 2 * indent() + 2 * frameWidth() + 1;
}

QSize StatusPanel::sizeHint() const {
    return QSize(minimumWidth(), lineHeight_);
}

QSize StatusPanel::minimumSizeHint() const {
    return sizeHint();
}

void StatusPanel::resizeEvent(QResizeEvent *event) {
    QLabel::resizeEvent(event);
    showFitted();
}

void StatusPanel::showFitted() {
    const int room = contentsRect().width() - 2 * indent();
    const QString fitted = fontMetrics().elidedText(fullText_, Qt::ElideMiddle, room);
    setText(fitted);
    setToolTip(fitted == fullText_ ? QString() : fullText_);
}
