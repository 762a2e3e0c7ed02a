// Builds test documents paragraph by paragraph (setHtml would drop the
// empty paragraphs the markup rules care about).
#pragma once

#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>

inline void buildDocument(QTextDocument &doc, const QStringList &paragraphs)
{
    doc.clear();
    QTextCursor cursor(&doc);
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            cursor.insertBlock();
        cursor.insertText(paragraphs.at(i));
    }
}
