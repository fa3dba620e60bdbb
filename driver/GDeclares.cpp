#include "GDeclares.h"

namespace korotka {

static_assert(static_cast<uint32_t>(eeVTI_Error) == 0x8004A462u);
static_assert(static_cast<uint32_t>(eeVTI_CmdUserAbort) == 0x8004A471u);
static_assert(static_cast<uint32_t>(eeVTI_MTIConnectionLost) == 0x8004A472u);
static_assert(static_cast<uint32_t>(kVtiErrorLast) == 0x8004A47Fu);

GDeclares::~GDeclares() = default;

}  // namespace korotka
