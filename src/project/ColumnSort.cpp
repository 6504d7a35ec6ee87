#include "project/ColumnSort.h"

#include "project/TextFile.h"

namespace ColumnSort {

int nextKey(int key, int column)
{
    const int number = column + 1;
    return (key == number || key == -number) ? -key : number;
}

int compareFolded(const QString &a, const QString &b)
{
    const QByteArray x = TextFile::toWindows1252(a);
    const QByteArray y = TextFile::toWindows1252(b);
    const auto fold = [](char c) {
        return static_cast<int>(static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 32 : c));
    };
    const qsizetype n = std::min(x.size(), y.size());
    for (qsizetype i = 0; i < n; ++i) {
        const int difference = fold(x[i]) - fold(y[i]);
        if (difference != 0)
            return difference;
    }
    return static_cast<int>(x.size() - y.size());
}

} // namespace ColumnSort
