#include "files/TextLines.h"

namespace kirvan {

void forEachLine(QStringView text, const std::function<void(QStringView, QStringView)>& line)
{
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n'))
            ++end;
        qsizetype next = end;
        if (next < text.size() && text[next] == QLatin1Char('\r'))
            ++next;
        if (next < text.size() && text[next] == QLatin1Char('\n'))
            ++next;
        line(text.sliced(start, end - start), text.sliced(end, next - end));
        start = next;
    }
}

} // namespace kirvan
