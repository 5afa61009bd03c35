// The expression compiler: which texts it accepts, the instruction lists that its chain
// merging and constant folding produce, the expansion of user-expression names and
// component variables, and the text helpers for parameter names and old model files.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include <boost/math/special_functions/ellint_1.hpp>

#include "core/model/expr.h"
#include "core/model/expr_text.h"
#include "tests/support/expr_test_parts.h"

static void PrintTo(const ExprInstruction& i, std::ostream* os)
{
    *os << "{" << i.op << " " << i.arg << " " << i.value << " id " << i.id << " slot " << i.slot << "}";
}

namespace {

using namespace expr_test;

ExprInstruction num(double v)
{
    return {'P', 1, v};
}

ExprInstruction ref(unsigned id, unsigned slot)
{
    return {'P', 0, 0.0, id, slot};
}

ExprInstruction fn(int id)
{
    return {'F', id};
}

ExprInstruction op(char c)
{
    return {c};
}

const Expr& compiled(const ExprPtr& e)
{
    return dynamic_cast<const Expr&>(*e);
}

class ExprCompile : public ::testing::Test {
protected:
    ExprPtr compile(const std::wstring& text, const std::vector<std::wstring>& variables = {}) const
    {
        return Expr::create(text, model, variables);
    }

    SpectrumModel model = baseline_and_two_singlets();
    Isotope isotope = test_isotope();
};

// Flat indices: [1:I] 3, [1:δ] 4, [1:Γ] 5, [2:I] 6.
TEST_F(ExprCompile, InstructionLists)
{
    const struct {
        const wchar_t* text;
        std::vector<ExprInstruction> code;
    } cases[] = {
        {L"2 * [1:I] * 3", {num(6), ref(3, 0), op('*')}},
        {L"[1:I] - 2 - 3", {ref(3, 0), num(2), op('-'), num(3), op('-')}},
        {L"2 - 3", {num(-1)}},
        {L"2 * 3 - 1", {num(5)}},
        {L"[1:I] / 4", {num(0.25), ref(3, 0), op('*')}},
        {L"1 / [1:I] / 2", {num(0.5), num(1), ref(3, 0), op('/'), op('*')}},
        {L"6 / 2 / [1:I]", {num(3), ref(3, 0), op('/')}},
        {L"[1:I] * 2 / 3", {num(1.0 / 3.0), num(2), ref(3, 0), op('*'), op('*')}},
        {L"[1:I] + [1:δ] + [2:I]", {ref(3, 0), ref(4, 1), op('+'), ref(6, 2), op('+')}},
        {L"1 + [1:I] + 2", {num(3), ref(3, 0), op('+')}},
        {L"([1:I] + 1) + ([2:I] + 2)", {num(3), ref(3, 0), op('+'), ref(6, 1), op('+')}},
        {L"2 * (3 * [1:I])", {num(6), ref(3, 0), op('*')}},
        // Folding runs after the merging: a factor made from a divisor is not merged.
        {L"[1:I] * ([1:δ] / 4)", {ref(3, 0), num(0.25), ref(4, 1), op('*'), op('*')}},
        {L"[1:I] - (2 - 3)", {ref(3, 0), num(-1), op('-')}},
        {L"[2:I] * [1:I] * [2:I]", {ref(6, 1), ref(3, 0), op('*'), ref(6, 1), op('*')}},
        // A negation and a power are never folded.
        {L"-2 ^ 2", {num(2), num(2), op('^'), fn(FnNegate)}},
        {L"2 ^ 3 ^ 2", {num(2), num(3), num(2), op('^'), op('^')}},
        {L"--5", {num(-5), fn(FnNegate)}},
        {L"- [1:I]", {ref(3, 0), fn(FnNegate)}},
        {L"[1:I] ^ -[1:δ]", {ref(3, 0), ref(4, 1), fn(FnNegate), op('^')}},
        {L"sin([1:Γ])", {ref(5, 0), fn(FnSin)}},
        {L"sin°(90)", {num(1)}},
        {L"cos (0)", {num(1)}},
        {L"c * π", {num(299792458.0 * 3.141592653589793)}},
        {L"[0:N₀]", {ref(0, 0)}},
        {L"[0:N0]", {ref(0, 0)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "text #" << (&c - cases));
        const ExprPtr e = compile(c.text);
        ASSERT_TRUE(e);
        EXPECT_EQ(compiled(e).instructions(), c.code);
    }
}

TEST_F(ExprCompile, ReferenceSlotsAndStackDepth)
{
    const ExprPtr e = compile(L"[2:I] + [1:δ] * ([1:I] - [2:I] ^ 2)");
    ASSERT_TRUE(e);
    const Expr& x = compiled(e);
    EXPECT_EQ(x.references(), (std::vector<unsigned>{3, 4, 6}));
    // push [2:I], push [1:δ], push [1:I], push [2:I], push 2 is five deep.
    EXPECT_EQ(x.max_depth(), 5u);
    std::set<unsigned> used;
    x.used_params(used);
    EXPECT_EQ(used, (std::set<unsigned>{3, 4, 6}));
    EXPECT_EQ(x.text(), L"[2:I] + [1:δ] * ([1:I] - [2:I] ^ 2)");
}

TEST_F(ExprCompile, VariablesFollowTheParameters)
{
    const ExprPtr e = compile(L"$v * 2 + [1:I]", {L"u", L"v"});
    ASSERT_TRUE(e);
    EXPECT_EQ(compiled(e).instructions(),
              (std::vector<ExprInstruction>{num(2), ref(Expr::variable_id_base + 1, 1), op('*'), ref(3, 0), op('+')}));
    std::set<unsigned> used;
    e->used_params(used);
    EXPECT_EQ(used, std::set<unsigned>{3});
}

// Compiling a list against one set of tables gives what compiling each text alone gives,
// a text that does not compile included.
TEST_F(ExprCompile, ManyTextsAtOnce)
{
    const std::vector<std::wstring> variables = {L"u", L"v"};
    const std::vector<std::wstring> texts = {L"$v * 2 + [1:I]", L"[1:δ] +", L"sin([2:I]) / $u", L"[3:I]"};
    const std::vector<ExprPtr> all = Expr::create_all(texts, model, variables);
    ASSERT_EQ(all.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const ExprPtr alone = compile(texts[i], variables);
        ASSERT_EQ(bool(all[i]), bool(alone)) << i;
        if (alone) {
            EXPECT_EQ(compiled(all[i]).instructions(), compiled(alone).instructions()) << i;
            EXPECT_EQ(all[i]->text(), texts[i]);
        }
    }
    EXPECT_TRUE(all[0] && all[2]);
}

TEST_F(ExprCompile, IsotopeConstants)
{
    EXPECT_FALSE(compile(L"K"));
    EXPECT_FALSE(compile(L"α"));
    model.isotope = &isotope;
    const struct {
        const wchar_t* text;
        double value;
    } cases[] = {
        {L"K", 4.0},  // 1/|K|
        {L"K(0.5)", boost::math::ellint_1(std::sqrt(0.5))},
        {L"K (0.5) * K", 4.0 * boost::math::ellint_1(std::sqrt(0.5))},
        {L"L", 48.0},
        {L"α * β", -0.0625},
        {L"Eγ", 14.4125},
        {L"Γτ", 0.097},
        {L"g_gr - g_ex", 0.18088 + 0.103267},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "text #" << (&c - cases));
        const ExprPtr e = compile(c.text);
        ASSERT_TRUE(e);
        const std::vector<ExprInstruction>& code = compiled(e).instructions();
        ASSERT_EQ(code.size(), 1u);
        EXPECT_EQ(code[0].op, 'P');
        EXPECT_EQ(code[0].arg, 1);
        EXPECT_DOUBLE_EQ(code[0].value, c.value);
    }
}

TEST_F(ExprCompile, AcceptsAndRejects)
{
    const struct {
        const wchar_t* text;
        bool compiles;
    } cases[] = {
        {L"+5", true},
        {L"2 * +3", true},
        {L"- -5", true},
        {L"2--3", true},
        {L"sin (  [1:I] )", true},
        {L" \t\r\n[1:I]\v\f ", true},
        {L"2^-2", true},
        {L"1e-3 + .5 + 5.", true},
        {L"nan + INF + Infinity", true},
        {L"K(2)", true},  // NaN, as the function gives it
        {L"[0:N0] * [0:v₀] * [0:v0]", true},
        {L"", false},
        {L" \t ", false},
        {L"--[1:I]", false},  // one minus before a name
        {L"+[1:I]", false},
        {L"sin [1:I]", false},  // a call needs its parentheses
        {L"cos", false},
        {L"cosh(1)", false},
        {L"e", false},
        {L"[ 1:I]", false},
        {L"[1:I ]", false},
        {L"[1 :I]", false},
        {L"[1:i]", false},  // names are case-sensitive
        {L"[3:I]", false},  // no component 3
        {L"[1:I", false},
        {L"([1:I]", false},
        {L"[1:I])", false},
        {L"[1:I] [1:δ]", false},
        {L"2^", false},
        {L"2 * ", false},
        {L"$v", false},  // no variables supplied
        {L"$ u", false},
        {L"<nothing>", false},
        {L"[?:I]", false},
        {L"K(1)", false},  // infinite: reported as an expression that does not compile
        {L"K(0.5 + 0.5)", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(static_cast<bool>(compile(c.text)), c.compiles) << "text #" << (&c - cases);
    EXPECT_TRUE(compile(L"$u * $v", {L"u", L"v"}));
    EXPECT_FALSE(compile(L"$ u", {L"u"}));
}

TEST_F(ExprCompile, UserExpressionsMayUseEachOtherInAnyOrder)
{
    add_user_expression(model, L"a", L"<b> + 1");      // uses a later one
    add_user_expression(model, L"b", L"[1:I] * 2");
    add_user_expression(model, L"c", L"<a> * <b>");    // through a, b again
    DVector p(9, 0.0);
    p(3) = 5.0;
    for (const auto& [text, value] : std::vector<std::pair<std::wstring, double>>{
             {L"<a>", 11.0}, {L"<b>", 10.0}, {L"<c>", 110.0}, {L"<c> - <a>", 99.0}}) {
        const ExprPtr e = compile(text);
        ASSERT_TRUE(e) << std::string(text.begin(), text.end());
        EXPECT_EQ(e->value(p), value);
        EXPECT_EQ(e->text(), text);  // the text as written, before expansion
    }
}

TEST_F(ExprCompile, CyclesAndUnknownNamesDoNotCompile)
{
    add_user_expression(model, L"self", L"<self> + 1");
    add_user_expression(model, L"a", L"<b> + 1");
    add_user_expression(model, L"b", L"<c> * 2");
    add_user_expression(model, L"c", L"<a>");
    add_user_expression(model, L"fine", L"[1:I]");
    for (const wchar_t* text : {L"<self>", L"<a>", L"<b>", L"<c>", L"<fine> + <a>", L"<Fine>", L"<fine"})
        EXPECT_FALSE(compile(text)) << "text #" << text;
    EXPECT_TRUE(compile(L"<fine> * <fine>"));
}

// Expressions that each use the next one twice double with every link of the chain. A
// chain short enough is written out and compiles to its value; a long one is refused,
// at once and with a message, before its expansion is built (30 links would make a
// text of some ten billion characters). In the model the refused ones stay
// uncompiled.
TEST_F(ExprCompile, ExpansionIsBounded)
{
    add_user_expression(model, L"e0", L"[1:I]");
    for (int k = 1; k <= 30; ++k)
        add_user_expression(model, L"e" + std::to_wstring(k),
                            L"<e" + std::to_wstring(k - 1) + L">+<e" + std::to_wstring(k - 1) + L">");
    DVector p(9, 0.0);
    p(3) = 1.5;
    const ExprPtr ten = compile(L"<e10>");
    ASSERT_TRUE(ten);
    EXPECT_EQ(ten->value(p), 1.5 * 1024);
    EXPECT_EQ(model.expand_expression_text(L"<e2>"), L"((([1:I])+([1:I]))+(([1:I])+([1:I])))");
    for (const wchar_t* text : {L"<e30>", L"1 + <e17>", L"<e30> + <e1>"}) {
        SCOPED_TRACE(text);
        try {
            compile(text);
            ADD_FAILURE() << "no exception";
        } catch (const expression_too_long& e) {
            EXPECT_NE(std::string(e.what()).find("too long"), std::string::npos);
        }
    }

    model.insert_expression(31, L"top", L"<e30>*2");
    ASSERT_EQ(model.expressions.size(), 32u);
    EXPECT_TRUE(model.expressions[10].expr);
    EXPECT_FALSE(model.expressions[30].expr);
    EXPECT_FALSE(model.expressions[31].expr);
    EXPECT_TRUE(model.expressions[31].used_params.empty());
}

TEST_F(ExprCompile, ComponentVariablesExpandInParentheses)
{
    model.insert_component(3, make_subspec<VarsComponent>(nullptr));  // x at flat index 9
    add_user_expression(model, L"u", L"[3:x2] + 1");
    const ExprPtr e = compile(L"[3:twice] * [3:x2] - <u>");
    ASSERT_TRUE(e);
    DVector p(10, 0.0);
    p(9) = 3.0;
    EXPECT_EQ(e->value(p), 2 * 3.0 * 9.0 - 10.0);
    EXPECT_EQ(model.expand_expression_text(L"[3:twice]^2"), L"(2*[3:x])^2");
}

TEST_F(ExprCompile, LongChainsNeedNoDeepRecursion)
{
    std::wstring sum = L"[1:I]";
    std::wstring difference = L"0";
    for (int i = 0; i < 30000; ++i) {
        sum += L"+[1:I]";
        difference += L"-[1:I]+1";
    }
    DVector p(9, 0.0);
    p(3) = 2.0;
    const ExprPtr s = compile(sum);
    const ExprPtr d = compile(difference);
    ASSERT_TRUE(s && d);
    EXPECT_EQ(compiled(s).max_depth(), 2u);
    EXPECT_EQ(s->value(p), 2.0 * 30001);
    EXPECT_EQ(d->value(p), -30000.0);
}

TEST_F(ExprCompile, NestingIsLimited)
{
    auto nested = [](int levels) { return std::wstring(levels, L'(') + L"[1:I]" + std::wstring(levels, L')'); };
    auto powers = [](int count) {
        std::wstring t = L"1";
        for (int i = 0; i < count; ++i)
            t += L"^-1";
        return t;
    };
    EXPECT_TRUE(compile(nested(100)));
    EXPECT_FALSE(compile(nested(101)));
    EXPECT_TRUE(compile(powers(100)));
    EXPECT_FALSE(compile(powers(101)));
    // Groups side by side do not add up.
    std::wstring groups = L"1";
    for (int i = 0; i < 200; ++i)
        groups += L"+(([1:I])^2^2)";
    EXPECT_TRUE(compile(groups));
}

TEST(ExprText, NormalizeScriptChar)
{
    const std::pair<wchar_t, wchar_t> cases[] = {
        {L'⁰', L'0'}, {L'₀', L'0'}, {L'₉', L'9'}, {L'⁴', L'4'}, {L'⁺', L'+'}, {L'₋', L'-'}, {L'⁼', L'='},
        {L'₍', L'('}, {L'⁾', L')'}, {L'ⁿ', L' '}, {L'¹', L'1'}, {L'²', L'2'}, {L'³', L'3'}, {L'N', L'N'},
        {L'Γ', L'Γ'},  {L'ᵢ', L'ᵢ'},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(normalize_script_char(in), out) << static_cast<unsigned>(in);
}

TEST(ExprText, RewriteRefsOnLoad)
{
    const std::map<std::wstring, std::wstring> renames = {{L"1:G", L"1:Γ"}, {L"2:H", L"2:Hn"}};
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"[1:G]*[2:H]", L"[1:Γ]*[2:Hn]"},
        {L"[1:G ]+[3:G]", L"[1:G ]+[3:G]"},  // looked up exactly
        {L"[1:G", L"[1:G"},                  // no closing bracket
        {L"[[1:G]", L"[[1:G]"},              // the inner text is "[1:G"
        {L"x]+[2:H]]", L"x]+[2:Hn]]"},
        {L"", L""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(SpectrumModel::rewrite_refs_on_load(in, renames), out);
}

}  // namespace
