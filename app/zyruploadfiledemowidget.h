#ifndef ZYRUPLOADFILEDEMOWIDGET_H
#define ZYRUPLOADFILEDEMOWIDGET_H

#include <QList>
#include <QString>
#include <QWidget>

class ControlLogic;
class Ui_ZyrUploadFileDemoWidget;
struct BoardFile;

namespace ZyrCore::Communication {
class ComStream;
}

// The "File Upload" tab: brings a chip's set of board files from a local directory to the
// interface board over its control stream. The chip is recognised from the kernel module found
// in the directory; every file of its set must be readable before the board's GUI module is
// unloaded, the files are uploaded in order and the module is loaded again. Each step is logged.
class ZyrUploadFileDemoWidget : public QWidget {
    Q_OBJECT

public:
    explicit ZyrUploadFileDemoWidget(QWidget* parent = nullptr);
    ~ZyrUploadFileDemoWidget() override;

    // Not owned; set before any upload.
    void setControlLogic(ControlLogic* controlLogic);
    // Appends a paragraph and lets the window repaint, as an update takes a while.
    void appendLog(const QString& text);
    // Uploads the local file to targetPath on the board; on failure errorMessage says why.
    bool uploadFile(const QString& localPath, const QString& targetPath, QString* errorMessage);
    // Action 1 unloads the module, 0 loads it; a failure is logged.
    bool configureModule(const QString& moduleName, uint action, uint option);

private slots:
    void on_pbUpdateAllBinaries_clicked();
    void on_pbClearLog_clicked();

private:
    void updateAllBinaries();
    bool checkFiles(const QString& directory, const QList<BoardFile>& files);
    bool replaceBoardFiles(const QString& directory, const QList<BoardFile>& files);
    ZyrCore::Communication::ComStream* controlStream() const;

    Ui_ZyrUploadFileDemoWidget* itsUi;
    ControlLogic* itsControlLogic = nullptr;
    bool itsUpdateRunning = false;
};

#endif // ZYRUPLOADFILEDEMOWIDGET_H
