// The options dialog of a topic: time per answer, questions per test and
// the form of the result, kept in the topic's config.dat. Every showing
// reloads the file of the topic selected in the chooser; "Сохранить" writes
// the first three lines back and keeps the rest, "Отмена" writes nothing.
#pragma once

#include <QDialog>
#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
struct AppContext;

class TForm4 final : public QDialog
{
    Q_OBJECT

public:
    explicit TForm4(AppContext &context, QWidget *parent = nullptr);

    void FormActivate();
    void TrackBar1Change();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showTotal();
    int checkedTimeCode() const;
    int checkedResultKind() const;

    AppContext &m_context;
    QString m_path;      // the config.dat loaded for this showing

    QGroupBox *m_groupBox1 = nullptr;
    QGroupBox *m_groupBox2 = nullptr;
    QGroupBox *m_groupBox3 = nullptr;
    QRadioButton *m_timeButtons[5] = {};     // RadioButton1..5: TimeCode 1..5
    QRadioButton *m_resultButtons[4] = {};   // RadioButton11..14: ResultKind 1..4
    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_label3 = nullptr;
    QLabel *m_label4 = nullptr;
    QPushButton *m_button1 = nullptr;
    QPushButton *m_button2 = nullptr;
    QPushButton *m_button3 = nullptr;
    QPushButton *m_button4 = nullptr;
    QLineEdit *m_edit1 = nullptr;
    QSlider *m_trackBar1 = nullptr;
};
