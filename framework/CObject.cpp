#include "framework/CObject.h"

void CObject::Serialize(CArchive&) {}
