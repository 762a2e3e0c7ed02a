#include "richtext/HardLineLayout.h"

#include <QTextDocument>

void HardLineLayout::install(QTextDocument &document)
{
    if (!dynamic_cast<HardLineLayout *>(document.documentLayout()))
        document.setDocumentLayout(new HardLineLayout(&document));
}
