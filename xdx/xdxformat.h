#pragma once

#include "record/fields.h"

#include <QString>

#include <span>

namespace shenbao {

// The children of XMLPackage in the format's own order (which is neither the page order nor the
// catalogue's: Presider and EduCode stand among the page-2 fields, OutlayBank before
// OutlayAccounts). Writers keep this order; readers look elements up by name.
struct XdxElement
{
    enum class Role { ProjectId, Ver, Passby, Field, VerifyList };
    Role role;
    Field field; // for Role::Field
    const char16_t* name;
};

std::span<const XdxElement> xdxElements(); // all 53

// The name of row element `row` (1-based) of a table container: "MainActor1" ... "MainActor15".
QString rowElementName(Field table, int row);

} // namespace shenbao
