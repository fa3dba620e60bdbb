#include "IKorotkaResultView.h"

namespace korotka {

// Out of line, so that the interface's type information is one across the libraries.
IKorotkaResultView::~IKorotkaResultView() = default;

}  // namespace korotka
