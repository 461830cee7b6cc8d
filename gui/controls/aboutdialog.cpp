#include "controls/aboutdialog.h"

#include "Tools/versioninfo.h"
#include "ui_aboutdialog.h"
#include "windowhelper.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QRegExp>

namespace ZyrGui::Controls {

namespace {

// Set together by setRepositoryHashes; empty unless a build records them.
QString& projectRepositoryHash() {
    static QString hash;
    return hash;
}

QString& frameworkRepositoryHash() {
    static QString hash;
    return hash;
}

} // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent)
    , itsUi(new Ui::AboutDialog) {
    itsUi->setupUi(this);
    setWindowTitle(tr("About"));
    WindowHelper::setWindowIcon(this);
    // The version the program was compiled against, not the one loaded at run time.
    itsUi->lbQt->setText(itsUi->lbQt->text().replace(QStringLiteral("__QT_VERSION__"),
                                                     QStringLiteral(QT_VERSION_STR)));
}

AboutDialog::~AboutDialog() {
    delete itsUi;
}

void AboutDialog::setVersionInfo(ZyrCore::Tools::VersionInfo* versionInfo) {
    itsVersionInfo = versionInfo;
    updateVersionLabels();
}

void AboutDialog::updateVersionLabels() {
    if (itsVersionInfo == nullptr) {
        itsUi->lbApplicationName->setText(tr("Application name not defined"));
        itsUi->lbApplicationVersion->setText(tr("ProductVersion: unknown"));
        return;
    }
    itsUi->lbApplicationName->setText(itsVersionInfo->productNameString());
    itsUi->lbApplicationVersion->setText(
        tr("Product Version: %1").arg(itsVersionInfo->fileVersionString()));
}

// The layout counts a wrapped text as one line, which larger fonts (a dense screen) outgrow at
// the dialog's width: the dialog opens tall enough for the lines each text wraps into. The
// wrapped texts span the dialog's width.
void AboutDialog::showEvent(QShowEvent* event) {
    const QMargins margins = layout()->contentsMargins();
    const int textWidth = width() - margins.left() - margins.right();
    int neededHeight = layout()->totalMinimumSize().height();
    for (const QLabel* label : findChildren<QLabel*>()) {
        if (label->wordWrap())
            neededHeight += label->heightForWidth(textWidth) - label->minimumSizeHint().height();
    }
    if (neededHeight > height())
        resize(width(), neededHeight);
    QDialog::showEvent(event);
}

void AboutDialog::setRepositoryHashes(const QString& projectHash, const QString& frameworkHash) {
    projectRepositoryHash() = projectHash;
    frameworkRepositoryHash() = frameworkHash;
}

QString AboutDialog::buildInfoText() {
    QString text;
    if (!frameworkRepositoryHash().isEmpty())
        text +=
            "<b>Framework repository:</b> <br>Hash: " + frameworkRepositoryHash() + "  <br><br>";
    if (!projectRepositoryHash().isEmpty())
        text += "<b>Project repository:</b> <br>Hash: " + projectRepositoryHash() + "  <br><br>";
    text += QStringLiteral("<b>Qt version:</b> <br>Qt " QT_VERSION_STR);
    return text;
}

QString AboutDialog::plainText(const QString& richText) {
    QString plain = richText;
    plain.replace(QStringLiteral("<br>"), QStringLiteral("\n"));
    plain.remove(QRegExp(QStringLiteral("<[^>]*>")));
    return plain;
}

void AboutDialog::on_pbShowDetailInfo_clicked() {
    const QString text = buildInfoText();
    QApplication::clipboard()->setText(plainText(text));
    QMessageBox::information(
        this, tr("Build Info"),
        text + "  <br><br><small>This information has been copied to your clipboard</small>",
        QMessageBox::Close, QMessageBox::NoButton);
}

} // namespace ZyrGui::Controls
