#include "authoring/ResCompil.h"

#include "session/AppContext.h"

TForm3::TForm3(AppContext &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
}
