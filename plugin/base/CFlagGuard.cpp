#include "CFlagGuard.h"

namespace korotka {

CFlagGuard::CFlagGuard(bool& flag) : m_flag(flag), m_before(flag) { m_flag = true; }

CFlagGuard::~CFlagGuard() { m_flag = m_before; }

}  // namespace korotka
