// The base creation report. Base creation loads the author's test document
// into the main window's hidden full-test view, runs the compile check while
// the chooser's progress bar runs, and shows the verdict here; only
// "Создать" lets the chooser register the topic, after which the topic's
// files are written from the checked document.
#pragma once

#include "library/Expected.h"
#include "authoring/ui/BaseCreation.h"
#include "library/LineList.h"

#include <QDialog>

struct AppContext;
class QFrame;
class QPushButton;
class QTextEdit;

class TForm3 final : public QDialog, public BaseCreation
{
    Q_OBJECT

public:
    explicit TForm3(AppContext &context, QWidget *parent = nullptr);

    Status CreateBase(const QString &sourcePath, BaseProgress &progress) override;
    bool createConfirmed() const override { return m_createConfirmed; }
    Status WriteTopicFiles(const QString &topicFolder) override;

    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormActivate();

    AppContext &m_context;
    BaseProgress *m_progress = nullptr; // while CreateBase runs
    QTextEdit *m_raport = nullptr;
    QFrame *m_panel1 = nullptr;
    QPushButton *m_button2 = nullptr;
    QPushButton *m_button1 = nullptr;
    bool m_createConfirmed = false;
    QString m_sourcePath;
    LineList m_sourceLines; // the checked document, as Baza.dat will hold it
    QStringList m_pictureNames;
    int m_testCount = 0;
};
