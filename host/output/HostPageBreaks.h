#pragma once

#include "host/platform/HostExport.h"

class QTextDocument;

namespace orvex {

// Where a document laid out in pages is cut. A heading keeps with the first lines of what follows
// it: the headings and a few paragraphs after it, to the title rows and first row of the next
// table. A reader who turns the page for the values must find their heading over them. (The
// layout itself keeps a table's title rows with its first row.)
class ORVEX_HOST_EXPORT HostPageBreaks {
public:
    // Lets each heading that would end a page without what follows it begin the next page
    // instead; one whose kept lines would not fit on a page even so stays where it is. Returns
    // how many were moved. A document without a page size is left as it is.
    static int KeepWithNext(QTextDocument& document);
};

}  // namespace orvex
