#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>

// A text label in a colour, font and (optionally) background colour of its own.
// Until a background colour is set the label paints only its text, so the
// dialog behind it shows through.
class ColorLabel : public QWidget {
    Q_OBJECT

public:
    explicit ColorLabel(QWidget* parent = nullptr);

    // Colours are 0x00BBGGRR values.
    void SetTextColor(std::uint32_t colorref);
    void SetBackColor(std::uint32_t colorref);
    // A font of that face and size in tenths of a point, e.g. ("MS Serif", 240).
    void SetLabelFont(const QString& face, int pointSizeTenths);

    void SetText(const QString& text);
    const QString& Text() const { return m_strText; }

    // Horizontal placement of the text (left, centre or right), as a dialog
    // template gives it; lines wrap at word boundaries and start at the top.
    void SetAlignment(Qt::Alignment alignment);

    std::uint32_t TextColor() const { return m_crText; }
    std::uint32_t BackColor() const { return m_crBack; }
    bool HasBackground() const { return m_bSolidBack; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int TextFlags() const;

    QString m_strText;
    std::uint32_t m_crText = 0x00FF0000; // blue
    std::uint32_t m_crBack = 0x00FFFFFF; // white
    bool m_bSolidBack = false;           // hollow until a background colour is set
    Qt::Alignment m_nAlign = Qt::AlignLeft;
};
