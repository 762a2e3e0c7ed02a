#include "session/Pic.h"

#include "session/AppContext.h"

TForm7::TForm7(AppContext &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
}
