#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <vector>

class QCustomPlot;
class QCPAxis;

namespace lumetrix {

class GraphLines;

enum class ChartAxis { Bottom, Left, Right };
enum class PictureFormat { Png, Pdf };

// How a line is drawn, as the chart holds it.
struct SeriesLook {
    QString title;
    QColor colour;
    bool dashed = false;
    bool rightAxis = false;
    bool visible = true;
    int points = 0;
};

// The chart of the Results page: the graph lines over a bottom, a left and a right axis. The
// plotting library stays behind this class.
class ResultChart : public QWidget {
    Q_OBJECT
public:
    explicit ResultChart(QWidget* parent);

    // Draws the lines in their drawing order.
    void showLines(const GraphLines& lines);
    // The series in drawing order.
    std::vector<SeriesLook> series() const;

    void setRange(ChartAxis axis, double min, double max);
    // A step of 0 or less lets the axis choose its own ticks.
    void setStep(ChartAxis axis, double step);
    void setTitle(ChartAxis axis, const QString& title);
    // An automatic axis fits the lines it carries each time they change.
    void setAutomatic(ChartAxis axis, bool automatic);
    void setLogarithmic(ChartAxis axis, bool logarithmic);
    void setRightAxisShown(bool shown);
    double minimum(ChartAxis axis) const;
    double maximum(ChartAxis axis) const;
    QString title(ChartAxis axis) const;
    bool automatic(ChartAxis axis) const;
    bool logarithmic(ChartAxis axis) const;
    bool rightAxisShown() const;

    // The chart with a legend of the lines shown, as a picture: PDF as vectors at the chart's
    // size, PNG at the chart's size and 300 dots per inch. False when it cannot be written.
    bool savePicture(const QString& path, PictureFormat format);

signals:
    void menuRequested(const QPoint& globalPos);
    void clicked();

private:
    QCPAxis* axisOf(ChartAxis axis) const;
    void fitAutomaticAxes();

    QCustomPlot* m_plot;
    bool m_automatic[3] = {false, false, false};
    double m_step[3] = {50, 0.1, 0.1};
};

} // namespace lumetrix
