#pragma once

#include <QPixmap>
#include <QPoint>
#include <QPolygon>
#include <QWidget>

#include <array>
#include <cstdint>
#include <string>

// An analogue dial: one value on a 270-degree scale with major and minor
// ticks, numbered labels, five coloured zones and a blue bezel, a needle with
// a shaded hub, the unit and the value as text, and "Alarm!" when the value
// lies outside the scale. The dial is drawn once into a cached picture; a new
// value redraws only the needle, the hub and the texts over a copy of it.
class GaugeCtrl : public QWidget {
    Q_OBJECT
public:
    // The dial's measures for a client rectangle, all in whole pixels.
    struct Geometry {
        int radius = 0; // R = 9 · larger side / 21
        int cx = 0, cy = 0;
        int bezel = 0;      // q = R / 18
        int tickOuter = 0;  // R − 2q
        int majorInner = 0; // 8R / 10
        int minorInner = 0;
        int hub = 0; // h = R / 20
    };

    explicit GaugeCtrl(QWidget* parent = nullptr);
    ~GaugeCtrl() override;

    // Takes the place of the dialog's static control; false without one.
    bool CreateFromPlaceholder(QWidget* placeholder);

    void SetRange(double min, double max, const std::string& unit, int valueDecimals);
    void SetScaleDecimals(int decimals);
    // Moves the needle; the dial stays as it is.
    void SetValue(double value);

    static Geometry Measure(const QRect& client);
    // The scale angle of a value in degrees, held to the scale's ends; an
    // empty range rests at the start.
    double NeedleAngle(double value) const;
    // The outer ends of the ticks, start to end: the needle's clip outline.
    QPolygon TickOutline() const { return m_TickOutline; }
    int TickCount() const { return static_cast<int>(m_TickOutline.size()); }
    // How often the dial picture was drawn.
    int CacheBuilds() const { return m_nCacheBuilds; }
    bool IsAlarm() const { return m_dValue < m_dMin || m_dValue > m_dMax; }

    bool m_bColorBands = true;
    std::array<std::uint32_t, 5> m_crBands{0x00FF00, 0x00FFFF, 0x22B7FF, 0x5D5CFF, 0x0000FF};
    std::string m_strUnit = "%";
    int m_nValueDecimals = 2;
    std::uint32_t m_crNeedle = 0xFF0000;
    int m_nScaleDecimals = 0;
    double m_dValue = 50.0;
    double m_dMax = 100.0;
    double m_dMin = 0.0;
    int m_nStartAngle = 225;
    int m_nEndAngle = 315;
    int m_nMajorTicks = 10;
    int m_nMinorTicks = 5;
    std::uint32_t m_crHigh = 0x0000FF;
    std::uint32_t m_crLow = 0x0000FF;
    std::uint32_t m_crNormal = 0xFF0000;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int Sweep() const { return m_nStartAngle + 360 - m_nEndAngle; }
    void DiscardDial();
    void BuildDial(const Geometry& g, qreal ratio);
    void DrawNeedle(QPainter& painter, const Geometry& g) const;
    void DrawHub(QPainter& painter, const Geometry& g) const;
    void DrawTexts(QPainter& painter, const Geometry& g) const;

    QPixmap m_Dial;
    QPolygon m_TickOutline;
    int m_nCacheBuilds = 0;
};
