#pragma once

// A push button with a small picture: either 4 pixels from the left edge with
// the caption after it, or centred above the caption. A disabled button shows
// the greyed picture and greyed caption.

#include <QPushButton>

class GlyphButton : public QPushButton {
    Q_OBJECT
public:
    enum class Layout { ImageLeft, ImageAbove };

    GlyphButton(const QString& caption, const QIcon& glyph, Layout layout = Layout::ImageLeft,
                QWidget* parent = nullptr);

    // Pixels between picture and caption (4 unless set).
    void setSpacing(int pixels);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Layout layout;
    int spacing = 4;
};
