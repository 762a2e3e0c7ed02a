// The teacher's preview of a stored topic: its questions one by one, in
// the order of the document, drawn exactly as the student sees them (the
// same view at the same size, the picture in the same box), with the
// question's number and its right field marked. It reads the stored base,
// so what it shows is what students get.
#pragma once

#include "richtext/LineModel.h"
#include "library/LineList.h"
#include "session/TestHost.h"

#include <QDialog>
#include <QTextDocument>

#include <memory>

struct AppContext;
class QLabel;
class QPushButton;
class QTextEdit;

class TestPreview final : public QDialog
{
    Q_OBJECT

public:
    TestPreview(AppContext &context, QWidget *parent);
    ~TestPreview() override;

    // Opens the topic whose base is basePath and shows its first question
    // modally; a topic that cannot be opened is said instead.
    void showTopic(const QString &basePath, const QString &caption);

    int questionCount() const { return m_count; }
    int currentQuestion() const { return m_current; }
    void showQuestion(int question);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    class Host;

    AppContext &m_context;
    std::unique_ptr<Host> m_host;
    LineList m_tagIndex;
    QString m_folder;
    int m_count = 0;
    int m_current = 0;

    QTextEdit *m_view = nullptr;
    QLabel *m_picture = nullptr;
    QLabel *m_number = nullptr;
    QList<QLabel *> m_fields;
    QPushButton *m_back = nullptr;
    QPushButton *m_next = nullptr;
};
