#include "richtext/HardLineLayout.h"

#include <QTextDocument>

void HardLineLayout::install(QTextDocument &document)
{
    // Asking the document for its layout would make Qt's own one first (and
    // have it lay the document out): look among the document's children.
    const auto layouts = document.findChildren<QAbstractTextDocumentLayout *>(Qt::FindDirectChildrenOnly);
    for (QAbstractTextDocumentLayout *layout : layouts) {
        if (dynamic_cast<HardLineLayout *>(layout))
            return;
    }
    document.setDocumentLayout(new HardLineLayout(&document));
}
