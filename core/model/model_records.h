// The plain records of a model: parameter links, link requests, excluded x-ranges and
// the parameter flags the document keeps by flat parameter index.
#pragma once

#include <cstdint>

// ParamLink::kind.
enum LinkKind : std::int32_t {
    LinkToParam = 0,  // factor × a parameter of some component
    LinkToExpr = 1,   // factor × a user expression
    NotLinked = 2,
};

// The link of one parameter: its value is factor × the target's value.
struct ParamLink {
    // LinkToParam: the target's component index; LinkToExpr: the position of the user
    // expression in SpectrumModel::expressions. Not read while not linked.
    std::uint32_t target_component = 0;
    // LinkToParam: the target's parameter index within its component.
    std::uint32_t target_param = 0;
    std::int32_t kind = NotLinked;
    double factor = 0.0;

    bool operator==(const ParamLink&) const = default;
};

// A link as a request or an undo record carries it: the ParamLink (target component,
// target parameter, kind, factor) to write at parameter dependent_param of component
// dependent_component.
struct LinkSpec {
    std::uint32_t target_component = 0;
    std::uint32_t target_param = 0;
    std::int32_t kind = NotLinked;
    std::uint32_t dependent_component = 0;
    std::uint32_t dependent_param = 0;
    double factor = 0.0;

    bool operator==(const LinkSpec&) const = default;
};

// An excluded x-range (mm/s): the fit leaves out every point with from ≤ x < to.
struct XRange {
    double from = 0.0;
    double to = 0.0;

    bool operator==(const XRange&) const = default;
};

// Parameter flags, one int per flat index. A parameter is varied by a fit when it is
// free, not locked and not linked.
enum ParamFlag : int {
    ParamFree = 1,    // the fit may vary it
    ParamLocked = 2,  // its component is locked
};
