#include "results/Table.h"

#include "session/AppContext.h"

TForm5::TForm5(AppContext &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
}
