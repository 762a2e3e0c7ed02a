// Feeds arbitrary bytes to the GIFT and Aiken readers: they must never
// crash, and the document written from what they accept must pass the
// compile check with one question per bank question, each with its key.
#include "authoring/CompileCheck.h"
#include "authoring/QuestionBank.h"
#include "authoring/Questions.h"
#include "richtext/LineModel.h"
#include "richtext/RtfReader.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = QuestionBank::decode(bytes);
    (void)QuestionBank::guessFormat(text);
    for (QuestionBank::Bank bank : {QuestionBank::readGift(text), QuestionBank::readAiken(text)}) {
        if (bank.questions.isEmpty())
            continue;
        for (QuestionBank::Question &question : bank.questions) {
            if (question.right < 1 || question.right > question.answers.size() || question.answers.size() > 4)
                std::abort();
            question.picture.clear(); // no picture files here
        }
        QTextDocument document;
        RtfReader::load(QuestionBank::writeRtf(bank, text.left(40)), document);
        const LineModel lines(document);
        const CheckResult check = compileCheck(lines, QStringLiteral("/nonexistent/fuzz.rtf"));
        if (check.verdict != Verdict::Ok || check.testCount != bank.questions.size())
            std::abort();
        const QList<DocumentQuestion> found = documentQuestions(lines);
        for (qsizetype i = 0; i < found.size(); ++i) {
            if (found.at(i).field != bank.questions.at(i).right)
                std::abort();
        }
        (void)QuestionBank::writeBank(bank, QuestionBank::Format::Gift, text.left(40));
        (void)QuestionBank::writeBank(bank, QuestionBank::Format::Aiken, text.left(40));
    }
    return 0;
}
