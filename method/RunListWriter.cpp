#include "method/RunListWriter.h"

void RunListWriter::add(int kind, double up, double down)
{
    if (full())
        return;
    ControlElement e;
    e.kind = kind;
    e.upTemp = up;
    e.downTemp = down;
    mList.push(e);
}

void RunListWriter::repeat(int count, int kind)
{
    for (int i = 0; i < count && !full(); ++i)
        add(kind);
}

void RunListWriter::append(const QStack<ControlElement>& steps)
{
    for (const ControlElement& e : steps)
        add(e.kind, e.upTemp, e.downTemp);
}
