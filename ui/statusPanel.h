#pragma once

#include <QLabel>

// One field of the status bar: a sunken box whose size the bar gives from the box's minimum
// width, never from its text. A text too long for the box is shortened in the middle with an
// ellipsis, and the whole text shows as the box's tool tip.
class StatusPanel final : public QLabel {
    Q_OBJECT
public:
    StatusPanel(const QString &key, QWidget *parent);

    void setFullText(const QString &text);
    const QString &fullText() const { return fullText_; }
    // The width at which each of the texts shows whole.
    int WidthToShow(const QStringList &texts) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void showFitted();

    QString fullText_;
    int lineHeight_ = 0;
};
