#pragma once
// The interactive curve: axes chosen from the report's columns, the first
// derivative shown or hidden, zoom by dragging a rectangle or the wheel, a reset,
// a cross-hair that reads the nearest measured point, and export as PNG, SVG
// or the plotted series as CSV. With several runs it lists them to show or hide
// each and can align them on their first end point.
#include "documents/CurveSeries.h"

#include <QWidget>
#include <filesystem>
#include <memory>
#include <vector>

class Host;
class QChart;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class CurveChartView;

class CurveView : public QWidget {
public:
    enum class Export { PngScreen, Png300, Svg, SeriesCsv };

    explicit CurveView(Host& host, QWidget* parent = nullptr);
    ~CurveView() override;

    // Shows these runs with their first run's default axes.
    void setRuns(std::vector<CurveRun> runs);
    const std::vector<CurveRun>& runs() const { return runs_; }
    const CurveOptions& options() const { return options_; }
    const CurveSeries& series() const { return series_; }
    // Where the export dialog opens (the PC folder).
    void setExportFolder(const std::filesystem::path& folder) { folder_ = folder; }

    void setDerivative(bool on);
    void resetZoom();
    bool zoomed() const;
    QChart& chart();
    // The readout of the nearest measured point to a position in the chart view.
    void readAt(const QPointF& position);
    QString readout() const;
    // Writes the export; a failure is shown to the user. False when nothing was written.
    bool exportTo(Export what, const std::filesystem::path& file);

private:
    void buildControls();
    void fillAxisChoices();
    void fillRunList();
    void rebuild();
    void chooseExport(Export what);

    Host& host_;
    std::vector<CurveRun> runs_;
    CurveOptions options_;
    CurveSeries series_;
    std::filesystem::path folder_;
    bool filling_ = false;

    QComboBox *xAxisCb, *yAxisCb;
    QCheckBox *derivativeCb, *alignCb;
    QPushButton *resetZoomBtn, *exportBtn;
    QListWidget* runList;
    QLabel* readout_;
    CurveChartView* view_;
};
