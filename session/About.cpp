#include "session/About.h"

#include "session/AppContext.h"

TForm9::TForm9(AppContext &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
}
