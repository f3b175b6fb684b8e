#include "results/resultchart.h"

#include "core/graph_lines.h"

#include <QVBoxLayout>
#include <qcustomplot.h>

namespace lumetrix {
namespace {

// Ticks at a fixed step with four minor ticks between them; a step too fine for the range
// is multiplied, so the axis never draws more ticks than it can show.
class FixedTicker : public QCPAxisTickerFixed {
public:
    explicit FixedTicker(double step) {
        setTickStep(step);
        setScaleStrategy(ssMultiples);
        setTickCount(25);
    }

protected:
    int getSubTickCount(double) override { return 4; }
};

int indexOf(ChartAxis axis) {
    return static_cast<int>(axis);
}

QColor toColor(Rgb rgb) {
    return QColor(rgb.r, rgb.g, rgb.b);
}

} // namespace

ResultChart::ResultChart(QWidget* parent) : QWidget(parent), m_plot(new QCustomPlot(this)) {
    setObjectName(QStringLiteral("Graf"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_plot);
    m_plot->legend->setVisible(false);
    m_plot->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_plot, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { emit menuRequested(m_plot->mapToGlobal(at)); });
    connect(m_plot, &QCustomPlot::mousePress, this, [this] { emit clicked(); });
    setRange(ChartAxis::Bottom, 300, 1100);
    setStep(ChartAxis::Bottom, 50);
    setTitle(ChartAxis::Bottom, QStringLiteral("Wavelength (nm)"));
    setRange(ChartAxis::Left, 0, 1);
    setStep(ChartAxis::Left, 0.1);
    setTitle(ChartAxis::Left, QStringLiteral("R/T/A  Layer"));
    setRange(ChartAxis::Right, 0, 1);
    setStep(ChartAxis::Right, 0.1);
    setTitle(ChartAxis::Right, QStringLiteral("Y2"));
    m_plot->yAxis->setPadding(25);
    m_plot->yAxis2->setPadding(25);
    m_plot->yAxis2->setVisible(false);
    // A tick label that would stick out of the chart is not drawn: the margin on the right
    // leaves room for half of the label at the end of the bottom axis (1100, 1500).
    const QFontMetrics metrics(m_plot->xAxis->tickLabelFont());
    m_plot->axisRect()->setMinimumMargins(
        QMargins(0, 0, metrics.horizontalAdvance("00000") / 2 + 4, 0));
}

QCPAxis* ResultChart::axisOf(ChartAxis axis) const {
    switch (axis) {
    case ChartAxis::Bottom:
        return m_plot->xAxis;
    case ChartAxis::Left:
        return m_plot->yAxis;
    case ChartAxis::Right:
        break;
    }
    return m_plot->yAxis2;
}

void ResultChart::showLines(const GraphLines& lines) {
    m_plot->clearGraphs();
    for (int index : lines.drawingOrder()) {
        const LineContent& line = lines.line(index);
        QCPGraph* graph =
            m_plot->addGraph(m_plot->xAxis, line.rightAxis ? m_plot->yAxis2 : m_plot->yAxis);
        const QVector<double> x(line.data.x.begin(), line.data.x.end());
        const QVector<double> y(line.data.y.begin(), line.data.y.end());
        graph->setData(x, y, true);
        const QColor colour = toColor(line.colour);
        graph->setPen(QPen(colour, 2, line.rightAxis ? Qt::DashLine : Qt::SolidLine));
        graph->setScatterStyle(
            line.rightAxis ? QCPScatterStyle(QCPScatterStyle::ssSquare, Qt::NoPen, colour, 2)
                           : QCPScatterStyle(QCPScatterStyle::ssNone));
        graph->setName(QString::fromStdString(line.data.label));
        graph->setVisible(line.visible);
    }
    fitAutomaticAxes();
    m_plot->replot();
}

std::vector<SeriesLook> ResultChart::series() const {
    std::vector<SeriesLook> looks;
    for (int i = 0; i < m_plot->graphCount(); ++i) {
        const QCPGraph* graph = m_plot->graph(i);
        looks.push_back({graph->name(), graph->pen().color(), graph->pen().style() == Qt::DashLine,
                         graph->valueAxis() == m_plot->yAxis2, graph->visible(),
                         graph->data()->size()});
    }
    return looks;
}

void ResultChart::fitAutomaticAxes() {
    for (ChartAxis axis : {ChartAxis::Bottom, ChartAxis::Left, ChartAxis::Right})
        if (m_automatic[indexOf(axis)])
            axisOf(axis)->rescale(true);
}

void ResultChart::setRange(ChartAxis axis, double min, double max) {
    axisOf(axis)->setRange(min, max);
    m_plot->replot();
}

void ResultChart::setStep(ChartAxis axis, double step) {
    m_step[indexOf(axis)] = step;
    QCPAxis* a = axisOf(axis);
    if (a->scaleType() == QCPAxis::stLogarithmic)
        return;
    if (step > 0)
        a->setTicker(QSharedPointer<QCPAxisTicker>(new FixedTicker(step)));
    else
        a->setTicker(QSharedPointer<QCPAxisTicker>(new QCPAxisTicker));
    m_plot->replot();
}

void ResultChart::setTitle(ChartAxis axis, const QString& title) {
    axisOf(axis)->setLabel(title);
    m_plot->replot();
}

void ResultChart::setAutomatic(ChartAxis axis, bool automatic) {
    m_automatic[indexOf(axis)] = automatic;
    if (automatic)
        axisOf(axis)->rescale(true);
    m_plot->replot();
}

void ResultChart::setLogarithmic(ChartAxis axis, bool logarithmic) {
    QCPAxis* a = axisOf(axis);
    a->setScaleType(logarithmic ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
    if (logarithmic)
        a->setTicker(QSharedPointer<QCPAxisTicker>(new QCPAxisTickerLog));
    else
        setStep(axis, m_step[indexOf(axis)]);
    m_plot->replot();
}

void ResultChart::setRightAxisShown(bool shown) {
    m_plot->yAxis2->setVisible(shown);
    m_plot->replot();
}

double ResultChart::minimum(ChartAxis axis) const {
    return axisOf(axis)->range().lower;
}
double ResultChart::maximum(ChartAxis axis) const {
    return axisOf(axis)->range().upper;
}
QString ResultChart::title(ChartAxis axis) const {
    return axisOf(axis)->label();
}
bool ResultChart::automatic(ChartAxis axis) const {
    return m_automatic[indexOf(axis)];
}
bool ResultChart::logarithmic(ChartAxis axis) const {
    return axisOf(axis)->scaleType() == QCPAxis::stLogarithmic;
}
bool ResultChart::rightAxisShown() const {
    return m_plot->yAxis2->visible();
}

bool ResultChart::savePicture(const QString& path, PictureFormat format) {
    constexpr double kScreenDpi = 96, kPrintDpi = 300;
    // The page's legend stands beside the chart, so the picture gets one of its own: the lines
    // shown, the one drawn last (the top of the page's legend) first.
    QCPLegend* legend = m_plot->legend;
    legend->clearItems();
    for (int i = m_plot->graphCount() - 1; i >= 0; --i)
        if (m_plot->graph(i)->visible())
            m_plot->graph(i)->addToLegend();
    legend->setVisible(true);
    const bool saved =
        format == PictureFormat::Pdf
            ? m_plot->savePdf(path, m_plot->width(), m_plot->height())
            : m_plot->savePng(path, m_plot->width(), m_plot->height(), kPrintDpi / kScreenDpi, -1,
                              static_cast<int>(kPrintDpi));
    legend->setVisible(false);
    m_plot->replot();
    return saved;
}

} // namespace lumetrix
