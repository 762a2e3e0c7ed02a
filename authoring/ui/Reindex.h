// Restoring a topic's source: the author picks an empty folder (or makes a
// new one) and the topic's document is written there as test.rtf with the
// pictures it names, ready to be edited and turned into a topic again.
#pragma once

#include <QDialog>

struct AppContext;
class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QPushButton;
class QTreeView;

class TForm8 final : public QDialog
{
    Q_OBJECT

public:
    explicit TForm8(AppContext &context, QWidget *parent = nullptr);

    // The destination folder, as Edit1 shows it.
    QString destination() const;
    // Selects a folder in the tree (and so in Edit1), switching the drive
    // when the folder lies on another one.
    void selectFolder(const QString &path);

    void Button1Click();     // "Восстановить"
    void Button2Click();     // "Создать новую папку"
    void DriveBoxChange();
    void ListBoxChange();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void FormActivate();
    void setDrive(const QString &drive);
    void warn(const QString &text);

    AppContext &m_context;
    QLineEdit *m_edit1 = nullptr;
    QComboBox *m_driveBox = nullptr;
    QTreeView *m_listBox = nullptr;
    QFileSystemModel *m_folders = nullptr;
    QPushButton *m_button1 = nullptr;
    QPushButton *m_button2 = nullptr;
    QString m_drive;
};
