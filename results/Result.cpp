#include "results/Result.h"

#include "session/AppContext.h"

TForm6::TForm6(AppContext &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
}
