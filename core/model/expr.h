// User expressions: a text over the model's parameters ("[c:name]"), the other user
// expressions ("<name>"), the caller's variables ("$name"), constants and functions,
// compiled once into a flat instruction list and evaluated on dual numbers that carry
// one derivative per distinct reference. One pass gives the value and its gradient;
// with the fit's covariance matrix V the gradient g gives the propagated standard
// error √(gᵀ V g).
//
// A reference is resolved at compile time to a flat parameter index (or, for the i-th
// variable, variable_id_base + i); when the model's layout changes the model rewrites
// the texts and compiles them again, a compiled Expr is never patched.
#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/model/expr_interface.h"

class SpectrumModel;
class ExprParser;

// The longest text, in characters, that the user expressions and component variables a
// text names may expand it to: a million characters compile in well under a second.
inline constexpr std::size_t max_expanded_length = std::size_t(1) << 20;

// A text whose expansion would exceed max_expanded_length.
class expression_too_long : public std::runtime_error {
public:
    expression_too_long()
        : std::runtime_error("The expression is too long once the user expressions it uses are written out "
                             "(more than " + std::to_string(max_expanded_length) + " characters)")
    {
    }
};

// A node of the parse tree. Copies share the list of children.
struct Node {
    enum Kind : int { Number = 1, Reference = 2, Function = 3, Operator = 4 };

    Node() = default;
    Node(const Node&) = default;
    Node(Node&&) = default;
    Node& operator=(const Node&) = default;
    Node& operator=(Node&&) = default;
    // Tears down a deep tree without deep recursion.
    ~Node();

    static Node make_number(double value);
    static Node make_reference(unsigned id);
    static Node make_function(int function, Node argument);
    // '-' applied once: the 'N' operator with one child.
    static Node make_negation(Node operand);
    static Node make_operator(wchar_t op, Node left, Node right);

    int kind = Number;
    double value = 0.0;  // Number
    unsigned id = 0;     // Reference: a flat index or a variable id; Function: the function id
    wchar_t op = 0;      // Operator: '+', '-', '*', '/', '^' or 'N' (negation)
    std::shared_ptr<std::vector<Node>> children;
};

// One instruction of a compiled expression.
struct ExprInstruction {
    char op = 'P';       // 'P' push, 'F' function, or '+', '-', '*', '/', '^'
    int arg = 0;         // 'P': 1 a number, 0 a reference; 'F': the function id
    double value = 0.0;  // a pushed number
    unsigned id = 0;     // a pushed reference
    unsigned slot = 0;   // the reference's derivative slot

    bool operator==(const ExprInstruction&) const = default;
};

// Function ids: 0 is the negation of unary minus, the others are the named functions.
enum ExprFunction : int {
    FnNegate = 0,
    FnLn = 1,
    FnLg = 2,
    FnExp = 3,
    FnSin = 4,
    FnCos = 5,
    FnSinDeg = 6,
    FnCosDeg = 7,
    FnEllipticK = 8,
    FnAcos = 9,
    FnAsin = 10,
    FnAcosDeg = 11,
    FnAsinDeg = 12,
    FnAbs = 13,
};

class Expr final : public IExpr {
public:
    // Reference ids from this one on name the caller's variables.
    static constexpr unsigned variable_id_base = 2097152;

    // Compiles `text` against the model: its components' parameter names, its user
    // expressions, its components' extra variables and its isotope's constants, with
    // the caller's variable names. An empty pointer when the text is not one complete
    // expression; nothing is thrown for that. K of the constant 1 (infinite) does not
    // compile, nor does a text nested more than 100 levels deep (parentheses, calls and
    // chained powers), which the recursive parser could not take on a thread's stack.
    // A text whose user expressions expand it beyond max_expanded_length characters
    // throws expression_too_long, whose text says why.
    static ExprPtr create(const std::wstring& text, const SpectrumModel& model,
                          const std::vector<std::wstring>& variables = {});
    // create for each text, the names looked up in tables built once.
    static std::vector<ExprPtr> create_all(const std::vector<std::wstring>& texts, const SpectrumModel& model,
                                           const std::vector<std::wstring>& variables);

    // Covariance entries outside the matrix count as 0 (an empty matrix: no error).
    double value_with_variance(const DVector& params, const DMatrix& covariance, double& error) const override;
    double value_and_gradient(const DVector& params, DVector& gradient) const override;
    double value(const DVector& params) const override;
    double value_with_variance_ext(const DVector& params, const DMatrix& covariance, const DVector& variables,
                                   const DVector& variable_deviations, double& error) const override;
    void used_params(std::set<unsigned>& out) const override;
    std::wstring text() const override { return text_; }
    // The value, with g[s] := the derivative by references()[s], parameters and variables
    // alike, for callers that combine derivatives themselves.
    double value_and_reference_gradient(const DVector& params, const DVector& variables,
                                        std::vector<double>& g) const;

    const std::vector<ExprInstruction>& instructions() const { return instructions_; }
    unsigned max_depth() const { return max_depth_; }
    // The distinct reference ids in ascending order; position s is derivative slot s.
    const std::vector<unsigned>& references() const { return references_; }

    // One pass over the instructions on `stack` (max_depth() slots of
    // references().size() + 1 doubles). Slot 0 then holds the value and, when
    // `derivatives` is set, the derivative by reference s at element s + 1; without
    // them only the values are computed (the slots are then one double each). A
    // reference outside its vector reads NaN.
    void run(const DVector& params, const DVector& variables, double* stack, bool derivatives) const;
    // The value, with the derivative by reference s added to gradient[s], by reverse
    // accumulation: a pass forward keeps each instruction's partial derivatives by its
    // operands, a pass back carries the derivative of the value down to the references.
    // Its cost does not grow with the number of references, as run's does.
    double run_adjoint(const DVector& params, const DVector& variables, double* gradient) const;

    // x := f(x) for function `id`, with its r derivatives.
    static void apply_function(int id, double* x, unsigned r);
    // a := a ^ b with r derivatives.
    static void power(double* a, const double* b, unsigned r);

    // The compiler's passes over the parse tree, in place.
    static void flatten_chains(Node& root);
    // False when a constant argument makes a function fail (K at m = 1).
    static bool fold_constants(Node& root);

private:
    Expr(std::wstring text, const Node& tree);
    static ExprPtr create_with(const ExprParser& parser, const std::wstring& text);

    void compile(const Node& root);
    void collect_params();

    // Runs `f(stack)` on an evaluation stack taken from the calling thread's stack.
    template <class F>
    auto with_stack(bool derivatives, F&& f) const;
    // Runs `f(value, g)` with g[s] the derivative by reference s: dual numbers for few
    // references, reverse accumulation for many.
    template <class F>
    auto with_gradient(const DVector& params, const DVector& variables, F&& f) const;
    // √(Σ gᵢ gⱼ V(pᵢ, pⱼ) over the parameter references + Σ g² σ² over the variables).
    double propagated_error(const double* g, const DMatrix& covariance, const DVector& variable_deviations) const;

    std::vector<ExprInstruction> instructions_;
    unsigned max_depth_ = 0;
    std::vector<unsigned> references_;
    std::wstring text_;
};

// Parses texts against the names of one model and one list of variables, the symbol
// tables built once for all of them.
class ExprParser {
public:
    ExprParser(const SpectrumModel& model, const std::vector<std::wstring>& variables);
    ~ExprParser();
    // The model's expand_expression_text, its component variables collected once.
    std::wstring expand(const std::wstring& text) const;
    // Parses the whole text (already expanded) into `tree`; false when it is not one
    // complete expression over the model's names and the caller's variables.
    bool parse(const std::wstring& text, Node& tree) const;

private:
    struct Tables;
    std::unique_ptr<Tables> tables_;
};

// ExprParser(model, variables).parse(text, tree).
bool parse_expression(const std::wstring& text, const SpectrumModel& model,
                      const std::vector<std::wstring>& variables, Node& tree);

// K(m) and its derivative, m = x[0], the complete elliptic integral of the first kind
// as a function of the parameter m = k². Outside 0 ≤ m < 1 (and at m = 1, where it is
// infinite) the value and every derivative are NaN.
void elliptic_k_derivative(double* x, unsigned r);
