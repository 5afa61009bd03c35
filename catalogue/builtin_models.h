// The built-in model types in their catalogue order.
#pragma once

class SubSpecFactory;

// Appends the 37 built-in entries (types and separators) to an empty catalogue.
void register_builtin_models(SubSpecFactory& catalogue);
