// The grammar of user expressions, from loosest to tightest binding:
//     expression = term (("+" | "-") term)*            left-nested
//     term       = unary (("*" | "/") unary)*          left-nested
//     unary      = "-" power | power                   one minus at most
//     power      = primary ("^" unary)?                so a^b^c = a^(b^c), a^-b = a^(-b)
//     primary    = function "(" expression ")" | constant | "[" reference "]"
//                | "$" variable | number | "(" expression ")"
// Names are looked up in four symbol tables, each taking the longest entry that stands
// at that place; the alternatives are tried in the order above, so "cos(" is the
// function and "c" alone the constant. ASCII white space may stand between tokens, not
// inside a number, a bracketed reference, a variable or a name.
#include <boost/phoenix/core.hpp>
#include <boost/phoenix/function.hpp>
#include <boost/phoenix/operator.hpp>
#include <boost/spirit/include/qi.hpp>

#include <cmath>
#include <string>
#include <vector>

#include "core/model/expr.h"
#include "core/model/expr_text.h"
#include "core/model/spectrum_model.h"

namespace {

namespace qi = boost::spirit::qi;
namespace phx = boost::phoenix;
using Iterator = std::wstring::const_iterator;
using Skipper = qi::rule<Iterator>;

// The parser descends once per level of parentheses, function call and power chain;
// deeper texts are refused so that the descent stays well within a thread's stack.
constexpr int max_nesting = 100;

// An upper estimate of that descent: open parentheses plus the powers chained at each
// open level (a chain ends at the next "+", "-", "*" or "/" of its level, except for the
// one minus that may follow a "^").
bool nesting_within_limit(const std::wstring& text)
{
    std::vector<int> chains{0};  // powers chained at each open parenthesis level
    int depth = 0;
    wchar_t previous = 0;  // the last character that is not white space
    for (wchar_t c : text) {
        switch (c) {
        case L'(':
            chains.push_back(0);
            ++depth;
            break;
        case L')':
            if (chains.size() > 1) {
                depth -= 1 + chains.back();
                chains.pop_back();
            }
            break;
        case L'^':
            ++chains.back();
            ++depth;
            break;
        case L'-':
            if (previous == L'^')
                break;
            [[fallthrough]];
        case L'+':
        case L'*':
        case L'/':
            depth -= chains.back();
            chains.back() = 0;
            break;
        default:
            break;
        }
        if (depth > max_nesting)
            return false;
        if (c != L' ' && c != L'\t' && c != L'\n' && c != L'\v' && c != L'\f' && c != L'\r')
            previous = c;
    }
    return true;
}

struct NumberNode {
    using result_type = Node;
    Node operator()(double value) const { return Node::make_number(value); }
};

struct ReferenceNode {
    using result_type = Node;
    Node operator()(unsigned id) const { return Node::make_reference(id); }
};

struct FunctionNode {
    using result_type = Node;
    Node operator()(int function, const Node& argument) const { return Node::make_function(function, argument); }
};

struct NegationNode {
    using result_type = Node;
    Node operator()(const Node& operand) const { return Node::make_negation(operand); }
};

struct OperatorNode {
    using result_type = Node;
    Node operator()(wchar_t op, const Node& left, const Node& right) const
    {
        return Node::make_operator(op, left, right);
    }
};

// The four symbol tables of one compilation, filled from the model and the caller.
struct ExprSymbols {
    ExprSymbols(const SpectrumModel& model, const std::vector<std::wstring>& variables)
    {
        for (const auto& component : model.components) {
            const std::wstring prefix = std::to_wstring(component->index) + L":";
            for (unsigned j = 0; j < component->count; ++j) {
                const std::wstring key = prefix + component->subspec->param_info(j).name;
                std::wstring normalized = key;
                for (wchar_t& c : normalized)
                    c = normalize_script_char(c);
                references.add(key, component->first + j);
                references.add(normalized, component->first + j);
            }
        }

        functions.add(L"ln", FnLn)(L"lg", FnLg)(L"exp", FnExp)(L"sin", FnSin)(L"cos", FnCos)(L"sin°", FnSinDeg)(
            L"cos°", FnCosDeg)(L"K", FnEllipticK)(L"acos", FnAcos)(L"asin", FnAsin)(L"acos°", FnAcosDeg)(
            L"asin°", FnAsinDeg)(L"abs", FnAbs);

        constants.add(L"c", 299792458.0)(L"ħ", 1.0545718176461565e-34)(L"eV", 1.602176634e-19)(
            L"μn", 5.0507837461e-27)(L"μB", 9.2740100783e-24)(L"kB", 1.380649e-23)(L"π", 3.141592653589793);
        if (const Isotope* isotope = model.isotope)
            constants.add(L"α", isotope->α)(L"β", isotope->β)(L"Eγ", isotope->Eγ)(L"Γτ", isotope->Γτ)(
                L"L", isotope->L)(L"g_gr", isotope->g_gr)(L"g_ex", isotope->g_ex)(L"K", 1.0 / std::fabs(isotope->K));

        for (std::size_t i = 0; i < variables.size(); ++i)
            this->variables.add(variables[i], static_cast<unsigned>(Expr::variable_id_base + i));
    }

    qi::symbols<wchar_t, unsigned> references;
    qi::symbols<wchar_t, int> functions;
    qi::symbols<wchar_t, double> constants;
    qi::symbols<wchar_t, unsigned> variables;
};

struct ExprGrammar : qi::grammar<Iterator, Node(), Skipper> {
    explicit ExprGrammar(ExprSymbols& symbols) : ExprGrammar::base_type(expression)
    {
        using qi::_1;
        using qi::_2;
        using qi::_val;
        using qi::lexeme;
        using qi::lit;
        const phx::function<NumberNode> number;
        const phx::function<ReferenceNode> reference;
        const phx::function<FunctionNode> function;
        const phx::function<NegationNode> negation;
        const phx::function<OperatorNode> binary;

        expression = term[_val = _1] >> *((lit(L'+') >> term)[_val = binary(L'+', _val, _1)] |
                                          (lit(L'-') >> term)[_val = binary(L'-', _val, _1)]);
        term = unary[_val = _1] >> *((lit(L'*') >> unary)[_val = binary(L'*', _val, _1)] |
                                     (lit(L'/') >> unary)[_val = binary(L'/', _val, _1)]);
        unary = (lit(L'-') >> power)[_val = negation(_1)] | power[_val = _1];
        power = primary[_val = _1] >> -((lit(L'^') >> unary)[_val = binary(L'^', _val, _1)]);
        primary = (symbols.functions >> lit(L'(') >> expression >> lit(L')'))[_val = function(_1, _2)] |
                  symbols.constants[_val = number(_1)] |
                  lexeme[lit(L'[') >> symbols.references >> lit(L']')][_val = reference(_1)] |
                  lexeme[lit(L'$') >> symbols.variables][_val = reference(_1)] |
                  qi::double_[_val = number(_1)] | (lit(L'(') >> expression >> lit(L')'))[_val = _1];
    }

    qi::rule<Iterator, Node(), Skipper> expression, term, unary, power, primary;
};

}  // namespace

struct ExprParser::Tables {
    Tables(const SpectrumModel& model, const std::vector<std::wstring>& variables)
        : model(model), component_variables(model.component_variables()), symbols(model, variables), grammar(symbols)
    {
    }

    const SpectrumModel& model;
    const std::vector<std::pair<std::wstring, std::wstring>> component_variables;
    ExprSymbols symbols;
    const ExprGrammar grammar;
    const Skipper white_space = qi::standard_wide::char_(L" \t\n\v\f\r");
};

ExprParser::ExprParser(const SpectrumModel& model, const std::vector<std::wstring>& variables)
    : tables_(std::make_unique<Tables>(model, variables))
{
}

ExprParser::~ExprParser() = default;

std::wstring ExprParser::expand(const std::wstring& text) const
{
    return tables_->model.expand_expression_text(text, tables_->component_variables);
}

bool ExprParser::parse(const std::wstring& text, Node& tree) const
{
    if (!nesting_within_limit(text))
        return false;
    Iterator at = text.begin();
    return qi::phrase_parse(at, text.cend(), tables_->grammar, tables_->white_space, tree) && at == text.cend();
}

bool parse_expression(const std::wstring& text, const SpectrumModel& model,
                      const std::vector<std::wstring>& variables, Node& tree)
{
    return ExprParser(model, variables).parse(text, tree);
}
