#pragma once

#include <QObject>
#include <QString>
#include <memory>

class BoardSession;
class ChartViews;
class EvalContext;
class FileChooser;
class QWidget;

// What the File menu reads and writes: raw and FFT data files, binary data, chart
// exports, and the metrics table put on the clipboard (Edit > Copy). Files are chosen with
// the desktop's dialogs unless another chooser is set.
class DataFileMenus : public QObject {
    Q_OBJECT
public:
    DataFileMenus(EvalContext& ctx, BoardSession& session, ChartViews& charts, QWidget& window);
    ~DataFileMenus() override;

    // Tests put a fake chooser in place of the dialogs; it must outlive this object.
    void SetFileChooser(FileChooser* chooser) { chooser_ = chooser; }

    void LoadRawData();
    void LoadFFTData();
    void SaveRawData();
    void SaveFFTData();
    void SaveBinary();
    void ExportChart(QWidget* chart);
    void CopyMetrics();

private:
    FileChooser& Files();
    void ShowDataFileError(int shownNumber, int recordedNumber, const QString& what);
    bool ShowNoDataToSave(bool hasData);

    EvalContext& ctx;
    BoardSession& session_;
    ChartViews& charts_;
    QWidget& window_;
    FileChooser* chooser_ = nullptr;
    std::unique_ptr<FileChooser> ownChooser_;
};
