// The compiler behind Expr::create: expand the text, parse it into a tree, merge chains
// of "+" and of "*", fold constant operands, and write the tree as a post-order
// instruction list whose references get one derivative slot per distinct id.
//
// Folding decides what a compiled expression computes, so it is deliberately narrow:
// numbers are moved before the other operands of "+" and "*" (and of the subtrahends and
// divisors of "-" and "/") and combined; a constant divisor becomes a factor; functions
// of numbers are evaluated. Nothing else is simplified. Every pass walks the tree with
// an explicit stack, so long chains need no deep recursion.
#include <algorithm>
#include <iterator>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "core/model/expr.h"
#include "core/model/spectrum_model.h"

namespace {

// The nodes of the tree, each after all of its descendants.
std::vector<Node*> post_order(Node& root)
{
    std::vector<Node*> order;
    std::vector<std::pair<Node*, std::size_t>> pending{{&root, 0}};
    while (!pending.empty()) {
        Node* node = pending.back().first;
        const std::size_t next = pending.back().second;
        if (node->children && next < node->children->size()) {
            ++pending.back().second;
            pending.emplace_back(&(*node->children)[next], 0);
        } else {
            order.push_back(node);
            pending.pop_back();
        }
    }
    return order;
}

bool is_number(const Node& n)
{
    return n.kind == Node::Number;
}

bool is_operator(const Node& n, wchar_t op)
{
    return n.kind == Node::Operator && n.op == op;
}

// The children of a node that is being replaced: moved when no copy shares them.
std::vector<Node> take_children(Node& n)
{
    if (n.children.use_count() == 1)
        return std::move(*n.children);
    return *n.children;
}

// "+" or "*": every child with the same operator gives way to its own children.
void flatten_node(Node& node)
{
    if (!is_operator(node, L'+') && !is_operator(node, L'*'))
        return;
    std::vector<Node>& children = *node.children;
    if (std::none_of(children.begin(), children.end(), [&](const Node& c) { return is_operator(c, node.op); }))
        return;
    std::vector<Node> merged;
    for (Node& child : children) {
        if (!is_operator(child, node.op)) {
            merged.push_back(std::move(child));
        } else if (merged.empty()) {
            merged = take_children(child);  // a left-nested chain: its list is taken whole
        } else {
            std::vector<Node> grandchildren = take_children(child);
            std::move(grandchildren.begin(), grandchildren.end(), std::back_inserter(merged));
        }
    }
    node.children = std::make_shared<std::vector<Node>>(std::move(merged));
}

// One node whose children are already folded; false when a function fails on its
// constant argument.
bool fold_node(Node& node)
{
    if (node.kind == Node::Function) {
        const Node& argument = node.children->front();
        if (!is_number(argument))
            return true;
        // K at m = 1 is infinite: reported as an expression that does not compile.
        if (node.id == FnEllipticK && argument.value == 1.0)
            return false;
        double value = argument.value;
        Expr::apply_function(static_cast<int>(node.id), &value, 0);
        node = Node::make_number(value);
        return true;
    }
    const wchar_t op = node.op;
    if (node.kind != Node::Operator || (op != L'+' && op != L'*' && op != L'-' && op != L'/'))
        return true;

    const bool keeps_first = op == L'-' || op == L'/';
    std::vector<Node> children = take_children(node);
    std::vector<Node> operands(std::make_move_iterator(children.begin() + (keeps_first ? 1 : 0)),
                               std::make_move_iterator(children.end()));
    children.resize(keeps_first ? 1 : 0);

    std::stable_partition(operands.begin(), operands.end(), is_number);
    const bool additive = op == L'+' || op == L'-';
    while (operands.size() >= 2 && is_number(operands[0]) && is_number(operands[1])) {
        operands[0].value = additive ? operands[0].value + operands[1].value : operands[0].value * operands[1].value;
        operands.erase(operands.begin() + 1);
    }
    if (keeps_first && is_number(children[0]) && !operands.empty() && is_number(operands[0])) {
        children[0].value = op == L'-' ? children[0].value - operands[0].value : children[0].value / operands[0].value;
        operands.erase(operands.begin());
    }
    std::move(operands.begin(), operands.end(), std::back_inserter(children));

    if (children.size() == 1) {
        Node only = std::move(children[0]);
        node = std::move(only);
        return true;
    }
    if (op == L'/' && is_number(children[1])) {
        const double divisor = children[1].value;
        children.erase(children.begin() + 1);
        Node rest;
        if (children.size() == 1) {
            rest = std::move(children[0]);
        } else {
            rest = node;
            rest.children = std::make_shared<std::vector<Node>>(std::move(children));
        }
        node = Node::make_operator(L'*', Node::make_number(1.0 / divisor), std::move(rest));
        return true;
    }
    node.children = std::make_shared<std::vector<Node>>(std::move(children));
    return true;
}

}  // namespace

Node::~Node()
{
    if (!children || children.use_count() != 1)
        return;
    std::vector<std::shared_ptr<std::vector<Node>>> pending;
    try {
        pending.push_back(std::move(children));
        while (!pending.empty()) {
            const std::shared_ptr<std::vector<Node>> list = std::move(pending.back());
            pending.pop_back();
            for (Node& child : *list)
                if (child.children && child.children.use_count() == 1)
                    pending.push_back(std::move(child.children));
        }
    } catch (const std::bad_alloc&) {
        // Without memory for the list, what is left goes by recursion (a destructor
        // must not throw).
    }
}

Node Node::make_number(double value)
{
    Node n;
    n.kind = Number;
    n.value = value;
    return n;
}

Node Node::make_reference(unsigned id)
{
    Node n;
    n.kind = Reference;
    n.id = id;
    return n;
}

Node Node::make_function(int function, Node argument)
{
    Node n;
    n.kind = Function;
    n.id = static_cast<unsigned>(function);
    n.children = std::make_shared<std::vector<Node>>();
    n.children->push_back(std::move(argument));
    return n;
}

Node Node::make_negation(Node operand)
{
    Node n;
    n.kind = Operator;
    n.op = L'N';
    n.children = std::make_shared<std::vector<Node>>();
    n.children->push_back(std::move(operand));
    return n;
}

Node Node::make_operator(wchar_t op, Node left, Node right)
{
    Node n;
    n.kind = Operator;
    n.op = op;
    n.children = std::make_shared<std::vector<Node>>();
    n.children->reserve(2);
    n.children->push_back(std::move(left));
    n.children->push_back(std::move(right));
    return n;
}

ExprPtr Expr::create_with(const ExprParser& parser, const std::wstring& text)
{
    Node tree;
    if (!parser.parse(parser.expand(text), tree))
        return nullptr;
    flatten_chains(tree);
    if (!fold_constants(tree))
        return nullptr;
    return ExprPtr(new Expr(text, tree));
}

ExprPtr Expr::create(const std::wstring& text, const SpectrumModel& model, const std::vector<std::wstring>& variables)
{
    return create_with(ExprParser(model, variables), text);
}

std::vector<ExprPtr> Expr::create_all(const std::vector<std::wstring>& texts, const SpectrumModel& model,
                                      const std::vector<std::wstring>& variables)
{
    const ExprParser parser(model, variables);
    std::vector<ExprPtr> out;
    for (const std::wstring& text : texts)
        out.push_back(create_with(parser, text));
    return out;
}

Expr::Expr(std::wstring text, const Node& tree) : text_(std::move(text))
{
    compile(tree);
    collect_params();
}

void Expr::flatten_chains(Node& root)
{
    for (Node* node : post_order(root))
        flatten_node(*node);
}

bool Expr::fold_constants(Node& root)
{
    for (Node* node : post_order(root))
        if (!fold_node(*node))
            return false;
    return true;
}

void Expr::compile(const Node& root)
{
    // Post-order: a node's operator follows each of its children from the second on,
    // a function or a negation follows its argument.
    std::vector<std::pair<const Node*, std::size_t>> pending{{&root, 0}};
    while (!pending.empty()) {
        const Node& node = *pending.back().first;
        const std::size_t next = pending.back().second;
        const std::size_t count = node.children ? node.children->size() : 0;
        if (node.kind == Node::Operator && node.op != L'N' && next >= 2)
            instructions_.push_back({static_cast<char>(node.op)});
        if (next < count) {
            ++pending.back().second;
            pending.emplace_back(&(*node.children)[next], 0);
            continue;
        }
        if (node.kind == Node::Number)
            instructions_.push_back({'P', 1, node.value});
        else if (node.kind == Node::Reference)
            instructions_.push_back({'P', 0, 0.0, node.id});
        else if (node.kind == Node::Function)
            instructions_.push_back({'F', static_cast<int>(node.id)});
        else if (node.op == L'N')
            instructions_.push_back({'F', FnNegate});
        pending.pop_back();
    }

    unsigned depth = 0;
    for (const ExprInstruction& i : instructions_) {
        if (i.op == 'P')
            max_depth_ = std::max(max_depth_, ++depth);
        else if (i.op != 'F')
            --depth;
    }
}

void Expr::collect_params()
{
    for (const ExprInstruction& i : instructions_)
        if (i.op == 'P' && i.arg == 0)
            references_.push_back(i.id);
    std::sort(references_.begin(), references_.end());
    references_.erase(std::unique(references_.begin(), references_.end()), references_.end());
    for (ExprInstruction& i : instructions_)
        if (i.op == 'P' && i.arg == 0)
            i.slot = static_cast<unsigned>(std::lower_bound(references_.begin(), references_.end(), i.id) -
                                           references_.begin());
}
