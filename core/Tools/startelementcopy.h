#ifndef ZYRCORE_TOOLS_STARTELEMENTCOPY_H
#define ZYRCORE_TOOLS_STARTELEMENTCOPY_H

#include "zyrcore_global.h"

#include <QXmlStreamAttributes>

class QXmlStreamReader;
class QXmlStreamWriter;

namespace ZyrCore::Tools {

// Writes the start element the reader stands on as the text names it: its qualified name, its
// namespace declarations as xmlns attributes, then the attributes given by qualified name. The
// writer's own namespace handling would make prefixes up and declare a namespace the element
// declares itself a second time, one attribute more than the element had.
ZYRCORE_EXPORT void writeStartElementAsRead(const QXmlStreamReader& reader,
                                            const QXmlStreamAttributes& attributes,
                                            QXmlStreamWriter* writer);

} // namespace ZyrCore::Tools

#endif // ZYRCORE_TOOLS_STARTELEMENTCOPY_H
