#include "zyruploadfiledemowidget.h"

#include "Communication/communicationstackelement.h"
#include "Communication/comstream.h"
#include "Tools/zyrassert.h"
#include "boardfileset.h"
#include "controllogic.h"
#include "exchange.h"
#include "raspi/Commands/configuremodulecomobject.h"
#include "raspi/Commands/uploadfilecomobject.h"
#include "ui_zyruploadfiledemowidget.h"
#include "userdialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using ZyrCore::Communication::CommunicationStackElement;
using ZyrCore::Communication::ComStream;
using ZyrRasPi::Commands::ConfigureModuleComObject;
using ZyrRasPi::Commands::UploadFileComObject;

namespace {

const char* const kSource = "zyruploadfiledemowidget";

// Shows the wait cursor for as long as it lives.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

ZyrUploadFileDemoWidget::ZyrUploadFileDemoWidget(QWidget* parent)
    : QWidget(parent)
    , itsUi(new Ui_ZyrUploadFileDemoWidget) {
    itsUi->setupUi(this);
}

ZyrUploadFileDemoWidget::~ZyrUploadFileDemoWidget() {
    delete itsUi;
}

void ZyrUploadFileDemoWidget::setControlLogic(ControlLogic* controlLogic) {
    itsControlLogic = controlLogic;
}

void ZyrUploadFileDemoWidget::appendLog(const QString& text) {
    itsUi->teLog->append(text);
    QCoreApplication::processEvents();
}

void ZyrUploadFileDemoWidget::on_pbClearLog_clicked() {
    itsUi->teLog->clear();
}

ComStream* ZyrUploadFileDemoWidget::controlStream() const {
    CommunicationStackElement* element = nullptr;
    if (!itsControlLogic->communicationStack()->tryGetElementByName(
            ZyrRasPi::RasPiStreamCommunicationStack::controlStreamName, &element))
        return nullptr;
    return dynamic_cast<ComStream*>(element->node());
}

bool ZyrUploadFileDemoWidget::uploadFile(const QString& localPath, const QString& targetPath,
                                         QString* errorMessage) {
    ZYR_ASSERT_NOT_NULL(kSource, itsControlLogic);
    QString unused;
    QString& message = errorMessage != nullptr ? *errorMessage : unused;
    message.clear();
    ComStream* stream = controlStream();
    if (stream == nullptr) {
        message = tr("ComStream not available.");
        return false;
    }
    QList<UploadFileComObject*> packages;
    if (!UploadFileComObject::createObjects(localPath, targetPath, &packages)) {
        message = tr("UploadFile ComObjects could not be created.");
        return false;
    }
    // Package by package, so the first one the board refuses ends the transfer.
    for (UploadFileComObject* package : qAsConst(packages)) {
        if (executeExchange(stream, package))
            continue;
        const bool refusedByBoard = package->valid() && package->status() != 0;
        message = refusedByBoard ? tr("File could not be uploaded correctly.")
                                 : tr("UploadFile command could not be sent.");
        break;
    }
    if (!UploadFileComObject::deleteObjects(&packages) && message.isEmpty())
        message = tr("File could not be uploaded correctly.");
    return message.isEmpty();
}

bool ZyrUploadFileDemoWidget::configureModule(const QString& moduleName, uint action, uint option) {
    ZYR_ASSERT_NOT_NULL(kSource, itsControlLogic);
    ComStream* stream = controlStream();
    if (stream == nullptr)
        return false;
    ConfigureModuleComObject command(moduleName, action, option);
    if (executeExchange(stream, &command))
        return true;
    appendLog(tr("Module %1 could not be configured.").arg(moduleName));
    return false;
}

void ZyrUploadFileDemoWidget::on_pbUpdateAllBinaries_clicked() {
    // The log lets events through between the steps: no second run may start meanwhile.
    if (itsUpdateRunning)
        return;
    itsUpdateRunning = true;
    itsUi->pbUpdateAllBinaries->setEnabled(false);
    updateAllBinaries();
    itsUi->pbUpdateAllBinaries->setEnabled(true);
    itsUpdateRunning = false;
}

void ZyrUploadFileDemoWidget::updateAllBinaries() {
    const QString directory = UserDialogs::existingDirectory(
        this, tr("Open Directory"), QStandardPaths::writableLocation(QStandardPaths::HomeLocation));
    if (directory.isEmpty()) {
        appendLog(tr("No directory selected. Update stopped."));
        return;
    }
    QString chip;
    if (!tryGetTargetChip(QDir(directory), chip)) {
        appendLog(tr("Failed. Could not identify target hardware (kernel object file kel????.ko "
                     "not found."));
        return;
    }
    appendLog(tr("Identified target hardware for update: %1").arg(chip));
    QList<BoardFile> files;
    if (!tryGetBoardFileSet(chip, files)) {
        appendLog(tr("Unsupported target hardware. Exiting."));
        return;
    }
    if (!checkFiles(directory, files))
        return;
    itsUi->leUpdateBinariesDirectory->setText(directory);
    if (!replaceBoardFiles(directory, files))
        return;
    UserDialogs::information(this, tr("Update"),
                             tr("All files were updated successfully. Please disconnect and "
                                "reconnect the EVM module."));
}

bool ZyrUploadFileDemoWidget::checkFiles(const QString& directory, const QList<BoardFile>& files) {
    for (const BoardFile& file : files) {
        const QString path = directory + QLatin1Char('/') + file.localName;
        appendLog(tr("Checking file %1").arg(path));
        const QFileInfo info(path);
        if (!info.exists() || !info.isFile() || !info.isReadable()) {
            appendLog(tr("Failed. Cannot read file."));
            return false;
        }
        appendLog(tr("Success."));
    }
    return true;
}

bool ZyrUploadFileDemoWidget::replaceBoardFiles(const QString& directory,
                                                const QList<BoardFile>& files) {
    const WaitCursor waitCursor;
    const QString module = QString::fromLatin1(boardGuiModule);
    appendLog(tr("Unloading %1.").arg(module));
    const bool unloaded = configureModule(module, ConfigureModuleComObject::Unload, 0);
    appendLog(unloaded ? tr("Success.") : tr("Failed. Continuing anyway."));

    for (const BoardFile& file : files) {
        const QString path = directory + QLatin1Char('/') + file.localName;
        appendLog(tr("Uploading file %1 to %2").arg(path, file.boardPath));
        QString errorMessage;
        if (!uploadFile(path, file.boardPath, &errorMessage)) {
            // The module stays unloaded: the board holds a partial set.
            appendLog(tr("Failed. Cannot upload file. %1").arg(errorMessage));
            return false;
        }
        appendLog(tr("Success."));
    }

    appendLog(tr("Loading %1.").arg(module));
    const bool loaded = configureModule(module, ConfigureModuleComObject::Load, 0);
    appendLog(loaded ? tr("Success.") : tr("Failed. Continuing anyway."));
    appendLog(tr("All files were updated successfully. Please disconnect and reconnect the EVM "
                 "module."));
    return true;
}
