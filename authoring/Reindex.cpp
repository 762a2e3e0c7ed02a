#include "authoring/Reindex.h"

#include "session/AppContext.h"

TForm8::TForm8(AppContext &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
}
