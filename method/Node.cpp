#include "method/Node.h"

#include "method/SafeStream.h"

QDataStream& operator<<(QDataStream& s, const Node& node)
{
    return s << qint32(node.Time) << node.Temp << node.Test;
}

QDataStream& operator>>(QDataStream& s, Node& node)
{
    SafeStream::read(s, node.Time);
    SafeStream::read(s, node.Temp);
    SafeStream::read(s, node.Test);
    return s;
}
