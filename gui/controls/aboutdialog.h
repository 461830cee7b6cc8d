#ifndef ZYRGUI_CONTROLS_ABOUTDIALOG_H
#define ZYRGUI_CONTROLS_ABOUTDIALOG_H

#include <QDialog>
#include <QString>

namespace ZyrCore::Tools {
class VersionInfo;
}

namespace ZyrGui::Controls {

namespace Ui {
class AboutDialog;
}

// The program's about box: name and version from the version information, the maker's logo and
// contact, the licence and the credits for the libraries the program uses.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);
    ~AboutDialog() override;

    // Not owned; null shows that name and version are unknown.
    void setVersionInfo(ZyrCore::Tools::VersionInfo* versionInfo);

    static void setRepositoryHashes(const QString& projectHash, const QString& frameworkHash);

    // The build details as rich text, and the plain copy of it that goes to the clipboard.
    static QString buildInfoText();
    static QString plainText(const QString& richText);

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void on_pbShowDetailInfo_clicked();

private:
    void updateVersionLabels();

    Ui::AboutDialog* itsUi;
    ZyrCore::Tools::VersionInfo* itsVersionInfo = nullptr;
};

} // namespace ZyrGui::Controls

#endif // ZYRGUI_CONTROLS_ABOUTDIALOG_H
