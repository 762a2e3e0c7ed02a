#include "browser/Book.h"

#include "session/AppContext.h"

TForm2::TForm2(AppContext &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
}
