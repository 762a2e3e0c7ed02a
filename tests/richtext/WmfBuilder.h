// Builds small Windows metafiles record by record, so that tests can state
// exactly what a picture contains and check what the player draws from it.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QRect>
#include <QtEndian>

#include <initializer_list>

class WmfBuilder
{
public:
    enum Function : quint16 {
        SaveDC = 0x001E, SetBkMode = 0x0102, SetMapMode = 0x0103, SetPolyFillMode = 0x0106,
        RestoreDC = 0x0127, SelectObject = 0x012D, SetTextAlign = 0x012E, DeleteObject = 0x01F0,
        SetTextColor = 0x0209, SetWindowOrg = 0x020B, SetWindowExt = 0x020C, LineTo = 0x0213,
        MoveTo = 0x0214, CreatePenIndirect = 0x02FA, CreateFontIndirect = 0x02FB,
        CreateBrushIndirect = 0x02FC, Polygon = 0x0324, Polyline = 0x0325,
        IntersectClipRect = 0x0416, Ellipse = 0x0418, Rectangle = 0x041B, TextOut = 0x0521,
        PolyPolygon = 0x0538, Pie = 0x081A, ExtTextOut = 0x0A32, StretchDIB = 0x0F43,
        CreatePalette = 0x00F7,
    };

    WmfBuilder &raw(quint16 function, const QByteArray &params)
    {
        appendU32(m_records, quint32(3 + (params.size() + 1) / 2));
        appendU16(m_records, function);
        m_records.append(params);
        if (params.size() % 2)
            m_records.append('\0');
        ++m_count;
        return *this;
    }
    WmfBuilder &rec(quint16 function, std::initializer_list<int> words)
    {
        QByteArray params;
        for (int w : words)
            appendU16(params, quint16(qint16(w)));
        return raw(function, params);
    }

    WmfBuilder &window(int x, int y, int w, int h)
    {
        rec(SetWindowOrg, {y, x});
        return rec(SetWindowExt, {h, w});
    }
    WmfBuilder &brush(QColor c, int style = 0, int hatch = 0)
    {
        return rec(CreateBrushIndirect, {style, c.red() | (c.green() << 8), c.blue(), hatch});
    }
    WmfBuilder &pen(QColor c, int width = 0, int style = 0)
    {
        return rec(CreatePenIndirect, {style, width, 0, c.red() | (c.green() << 8), c.blue()});
    }
    WmfBuilder &nullPen() { return pen(Qt::black, 0, 5); }
    WmfBuilder &select(int index) { return rec(SelectObject, {index}); }
    WmfBuilder &remove(int index) { return rec(DeleteObject, {index}); }
    WmfBuilder &rectangle(int l, int t, int r, int b) { return rec(Rectangle, {b, r, t, l}); }
    WmfBuilder &ellipse(int l, int t, int r, int b) { return rec(Ellipse, {b, r, t, l}); }
    WmfBuilder &font(int height, const QByteArray &face, int charset = 0, int escapement = 0,
                     int weight = 400)
    {
        QByteArray p;
        for (int w : {height, 0, escapement, escapement, weight})
            appendU16(p, quint16(qint16(w)));
        p.append(char(0)).append(char(0)).append(char(0)).append(char(charset));
        p.append(QByteArray(4, '\0'));
        p.append(face.left(31)).append('\0');
        return raw(CreateFontIndirect, p);
    }
    WmfBuilder &textOut(int x, int y, const QByteArray &text)
    {
        QByteArray p;
        appendU16(p, quint16(text.size()));
        p.append(text);
        if (text.size() % 2)
            p.append('\0');
        appendU16(p, quint16(qint16(y)));
        appendU16(p, quint16(qint16(x)));
        return raw(TextOut, p);
    }
    WmfBuilder &extTextOut(int x, int y, const QByteArray &text, const QList<int> &dx)
    {
        QByteArray p;
        for (int w : {y, x, int(text.size()), 0})
            appendU16(p, quint16(qint16(w)));
        p.append(text);
        if (text.size() % 2)
            p.append('\0');
        for (int d : dx)
            appendU16(p, quint16(qint16(d)));
        return raw(ExtTextOut, p);
    }

    // The records with META_HEADER in front and META_EOF at the end.
    QByteArray headerless(int objects = 16) const
    {
        QByteArray out;
        appendU16(out, 1);
        appendU16(out, 9);
        appendU16(out, 0x0300);
        const QByteArray eof = QByteArray::fromHex("030000000000");
        appendU32(out, quint32((18 + m_records.size() + eof.size()) / 2));
        appendU16(out, quint16(objects));
        appendU32(out, 0);
        appendU16(out, 0);
        return out + m_records + eof;
    }
    QByteArray placeable(QRect box, int unitsPerInch, int objects = 16) const
    {
        QByteArray out;
        appendU32(out, 0x9AC6CDD7);
        appendU16(out, 0);
        for (int v : {box.left(), box.top(), box.left() + box.width(), box.top() + box.height()})
            appendU16(out, quint16(qint16(v)));
        appendU16(out, quint16(unitsPerInch));
        appendU32(out, 0);
        quint16 sum = 0;
        for (int i = 0; i < 20; i += 2)
            sum ^= qFromLittleEndian<quint16>(out.constData() + i);
        appendU16(out, sum);
        return out + headerless(objects);
    }

    static void appendU16(QByteArray &b, quint16 v)
    {
        char c[2];
        qToLittleEndian(v, c);
        b.append(c, 2);
    }
    static void appendU32(QByteArray &b, quint32 v)
    {
        char c[4];
        qToLittleEndian(v, c);
        b.append(c, 4);
    }

private:
    QByteArray m_records;
    int m_count = 0;
};
