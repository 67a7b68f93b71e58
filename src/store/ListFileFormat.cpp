#include "store/ListFileFormat.h"

namespace lexiglow {
namespace listfile {

QString applyCipher(QStringView text)
{
    const Cipher cipher;
    QString result(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        result[i] = QChar(cipher(text[i].unicode()));
    return result;
}

} // namespace listfile
} // namespace lexiglow
