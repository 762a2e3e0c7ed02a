// The cue catalogue shared by the resource and help tests: every cue the
// program plays, by kind (voice cues follow the voice switch, sound effects
// the effects switch).
#pragma once

#include <QStringList>

namespace {

const QStringList VoiceCues = {
    QStringLiteral("Yes"), QStringLiteral("Yes1"), QStringLiteral("AnalginYes1"), QStringLiteral("No"),
    QStringLiteral("No1"), QStringLiteral("AnalginNo1"), QStringLiteral("AnalginNo2"), QStringLiteral("Final1"),
    QStringLiteral("Final2"), QStringLiteral("Final3"), QStringLiteral("Final4"), QStringLiteral("Gmm"),
    QStringLiteral("Sora"), QStringLiteral("Book"), QStringLiteral("Name"), QStringLiteral("Gong"),
    QStringLiteral("We"), QStringLiteral("Next"), QStringLiteral("Time1"), QStringLiteral("Time"),
};
const QStringList SoundCues = {
    QStringLiteral("Hello"), QStringLiteral("OptTestMenu"), QStringLiteral("OptTestSave"),
    QStringLiteral("OptTestCancel"), QStringLiteral("SelectOpt"), QStringLiteral("Table"),
    QStringLiteral("BookEnd"), QStringLiteral("About"), QStringLiteral("Clock"), QStringLiteral("Down"),
    QStringLiteral("Cancel"), QStringLiteral("Ding"), QStringLiteral("Warn"), QStringLiteral("Del"),
    QStringLiteral("Rename"), QStringLiteral("NewPredmet"), QStringLiteral("ContecstMenu"),
    QStringLiteral("SelectPredmet"), QStringLiteral("SelectTema"), QStringLiteral("Sort"),
    QStringLiteral("NewBaza"), QStringLiteral("Count"), QStringLiteral("OkNewBaza"),
    QStringLiteral("ErrorNewBaza"),
};
} // namespace
