#include "results/TestOption.h"

#include "session/AppContext.h"

TForm4::TForm4(AppContext &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
}
