#include "browser/OpenTopic.h"

#include "library/Codec.h"
#include "library/Paths.h"
#include "library/TopicConfig.h"
#include "richtext/RtfReader.h"
#include "session/Comp.h"
#include "session/TestHost.h"

#include <QDir>

#include <algorithm>

Expected<OpenedTopic> openTopic(const QString &basePath, TestHost &host, Cues &cues, EngineUi &ui)
{
    const QString topicFolder = Paths::folderOf(basePath);
    Expected<LineList> base = LineLists::read(basePath);
    if (!base)
        return Error{base.error()};
    Expected<LineList> tagIndex = LineLists::read(Paths::tagIndexFile(topicFolder));
    if (!tagIndex)
        return Error{tagIndex.error()};
    Expected<LineList> options = TopicConfig::load(Paths::configFile(topicFolder));
    if (!options)
        return Error{options.error()};

    OpenedTopic topic;
    // The base is decoded in memory: no decoded copy is ever left in the
    // topic folder.
    Codec::codeLines(*base);
    topic.base = std::move(base).value();
    RtfReader::load(LineLists::join(topic.base), host.fullTestDocument());
    topic.tagIndex = std::move(tagIndex).value();
    const Status indexed = Comp::CheckTagIndex(topic.tagIndex, host.fullTestLines(), topicFolder, cues, ui);
    ui.showProgress(false);
    if (!indexed) {
        // The rebuilt index is in memory, so the test can run; only the saved
        // copy is stale and will be rebuilt next time.
        topic.indexWarning = indexed.error();
    }
    const int inBase = Comp::questionsInBase(topic.tagIndex);
    if (inBase == 0) {
        // A topic is made only from a document with questions: its base is
        // damaged. The tag index was left alone, so putting a good copy of
        // the base back is all it takes.
        return Error{QStringLiteral("В выбранной теме нет ни одного вопроса: файл %1 поврежден.")
                         .arg(QDir::toNativeSeparators(basePath))};
    }

    topic.options = std::move(options).value();
    // A hand-edited config.dat may ask for more questions than the base
    // holds, or name a wrong total: the pool is what the base really has.
    topic.pool = std::min(*TopicConfig::number(topic.options, TopicConfig::QuestionTotal), inBase);
    if (topic.pool < 1)
        topic.pool = inBase;
    const int asked = *TopicConfig::number(topic.options, TopicConfig::QuestionCount);
    topic.questionsToAsk = std::clamp(asked, 1, topic.pool);
    if (topic.questionsToAsk != asked)
        topic.options[TopicConfig::QuestionCount] = QByteArray::number(topic.questionsToAsk);
    return topic;
}
