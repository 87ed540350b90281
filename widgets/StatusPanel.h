#pragma once

// A panel of the status line: a sunken label that, when its text is wider
// than the panel, shows the words that fit and "…" instead of a word cut in
// the middle. text() stays the whole text.

#include <QLabel>

class QFontMetrics;

class StatusPanel : public QLabel {
    Q_OBJECT
public:
    explicit StatusPanel(QWidget* parent = nullptr);

    // What the panel shows of its text.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The longest run of whole words from the start of text that fits in width
// with " …" after it; a first word too wide is elided itself.
QString wholeWordsThatFit(const QString& text, const QFontMetrics& metrics, int width);
