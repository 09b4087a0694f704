#include "CaNode.h"

#include "CheckedHeap.h"
#include "NumberFormat.h"
#include "ParameterList.h"
#include "PolyGrammarParser.h"
#include "strings/CompilerStrings.h"
#include "strings/LaplaceStrings.h"
#include "strings/PiStrings.h"

#include <cmath>

namespace {

// Messages of the expression trees.

// What a quotient by zero folds to.
const CaComplex kDivisionByZeroValue = {1e30, 1e30};

bool isOperator(int kind)
{
    return kind >= CA_SUM && kind <= CA_QUOTIENT;
}

bool isFinite(CaComplex v)
{
    return std::isfinite(v.re) && std::isfinite(v.im);
}

} // namespace

CaComplex complexAdd(CaComplex a, CaComplex b)
{
    return {a.re + b.re, a.im + b.im};
}

CaComplex complexSub(CaComplex a, CaComplex b)
{
    return {a.re - b.re, a.im - b.im};
}

CaComplex complexMul(CaComplex a, CaComplex b)
{
    return {a.re * b.re - a.im * b.im, a.im * b.re + a.re * b.im};
}

CaComplex complexDiv(CaComplex a, CaComplex b)
{
    double c = b.re;
    double d = b.im;
    if (c == 0.0 && d == 0.0)
        return {1e20, 1e20};
    // Scaled by the larger part of the divisor, so that c*c + d*d cannot
    // overflow.
    if (fabs(c) < fabs(d)) {
        double r = c / d;
        double q = c * r + d;
        return {(a.re * r + a.im) / q, (r * a.im - a.re) / q};
    }
    double r = d / c;
    double q = d * r + c;
    return {(a.im * r + a.re) / q, (a.im - r * a.re) / q};
}

double complexAbs(CaComplex a)
{
    if (a.im == 0.0)
        return fabs(a.re);
    if (a.re == 0.0)
        return fabs(a.im);
    if (fabs(a.im) > fabs(a.re)) {
        double q = a.re / a.im;
        return fabs(a.im) * sqrt(q * q + 1.0);
    }
    double q = a.im / a.re;
    return fabs(a.re) * sqrt(q * q + 1.0);
}

void* CaNode::operator new(size_t size)
{
    return CheckedAlloc(size);
}

void CaNode::operator delete(void* p)
{
    freeHook(p);
}

CaNode::CaNode() : left(nullptr), right(nullptr), kind(CA_NUMBER), value{0.0, 0.0}, name(nullptr), height(1)
{
    PolyGrammarParser::noteNodeMade(height);
}

CaNode::CaNode(double re) : left(nullptr), right(nullptr), kind(CA_NUMBER), value{re, 0.0}, name(nullptr), height(1)
{
    PolyGrammarParser::noteNodeMade(height);
}

CaNode::CaNode(const char* text)
    : left(nullptr), right(nullptr), kind(CA_NAME), value{0.0, 0.0}, name(copyText(text)), height(1)
{
    PolyGrammarParser::noteNodeMade(height);
}

CaNode::CaNode(double re, double im)
    : left(nullptr), right(nullptr), kind(CA_NUMBER), value{re, im}, name(nullptr), height(1)
{
    PolyGrammarParser::noteNodeMade(height);
}

CaNode::CaNode(const CaNode& other)
    : left(other.left ? new CaNode(*other.left) : nullptr),
      right(other.right ? new CaNode(*other.right) : nullptr),
      kind(other.kind),
      value(other.value),
      name(other.name ? copyText(other.name) : nullptr),
      height(1)
{
    updateHeight();
    PolyGrammarParser::noteNodeMade(height);
}

CaNode::CaNode(int k, CaNode* l, CaNode* r)
    : left(l), right(r), kind(k), value{0.0, 0.0}, name(nullptr), height(1)
{
    updateHeight();
    PolyGrammarParser::noteNodeMade(height);
}

CaNode::~CaNode()
{
    delete left;
    delete right;
    freeHook(name);
}

void CaNode::updateHeight()
{
    int h = 0;
    if (left && left->height > h)
        h = left->height;
    if (right && right->height > h)
        h = right->height;
    height = h + 1;
}

unsigned long CaNode::countNodes(unsigned long limit) const
{
    unsigned long n = 1;
    if (left && n <= limit)
        n += left->countNodes(limit - n);
    if (right && n <= limit)
        n += right->countNodes(limit - n);
    return n;
}

bool CaNode::hasNonFiniteNumber() const
{
    if (kind == CA_NUMBER && !isFinite(value))
        return true;
    return (left && left->hasNonFiniteNumber()) || (right && right->hasNonFiniteNumber());
}

bool CaNode::isZero() const
{
    return kind == CA_NUMBER && complexAbs(value) == 0.0;
}

bool CaNode::isOne() const
{
    // im == 0.0 holds for +0 and -0 alike.
    return kind == CA_NUMBER && value.re == 1.0 && value.im == 0.0;
}

void CaNode::becomeNumber(CaComplex v)
{
    delete left;
    delete right;
    left = nullptr;
    right = nullptr;
    freeHook(name);
    name = nullptr;
    kind = CA_NUMBER;
    value = v;
    height = 1;
}

// This node takes over the operand's contents; the other operand goes first.
void CaNode::replaceBy(CaNode* operand)
{
    if (operand == left) {
        delete right;
        left = nullptr;
    } else {
        delete left;
        right = nullptr;
    }
    kind = operand->kind;
    value = operand->value;
    name = operand->name;
    left = operand->left;
    right = operand->right;
    height = operand->height;
    operand->name = nullptr;
    operand->left = nullptr;
    operand->right = nullptr;
    delete operand;
}

void CaNode::simplify()
{
    for (;;) {
        if (kind == CA_NUMBER || kind == CA_NAME)
            return;

        if (kind == CA_NEGATION) {
            if (!left)
                return;
            left->simplify();
            if (left->kind == CA_NUMBER) {
                CaComplex v = {-left->value.re, -left->value.im};
                if (!isFinite(v))
                    PolyGrammarParser::report(kStrLaplaceOverflow);
                becomeNumber(v);
            } else {
                updateHeight();
            }
            return;
        }

        if (!isOperator(kind)) {
            PolyGrammarParser::report(kStrInternalUnknownNodeType);
            return;
        }
        if (!left || !right)
            return;
        left->simplify();
        right->simplify();
        updateHeight();

        bool leftNumber = left->kind == CA_NUMBER;
        bool rightNumber = right->kind == CA_NUMBER;
        if (leftNumber && rightNumber) {
            CaComplex a = left->value;
            CaComplex b = right->value;
            CaComplex v;
            switch (kind) {
            case CA_SUM:
                v = complexAdd(a, b);
                break;
            case CA_DIFFERENCE:
                v = complexSub(a, b);
                break;
            case CA_PRODUCT:
                v = complexMul(a, b);
                break;
            default:
                if (complexAbs(b) == 0.0) {
                    PolyGrammarParser::report(kStrDivisionByZero);
                    v = kDivisionByZeroValue;
                } else {
                    v = complexDiv(a, b);
                }
                break;
            }
            // A mended fault: an overflow went on as infinity (written as
            // "1.#INF") or, with a NaN imaginary part, as 18030.
            if (!isFinite(v))
                PolyGrammarParser::report(kStrLaplaceOverflow);
            becomeNumber(v);
            return;
        }

        if (leftNumber) {
            switch (kind) {
            case CA_SUM:
                if (left->isZero())
                    replaceBy(right);
                break;
            case CA_DIFFERENCE:
                if (left->isZero()) {
                    // 0 - x becomes -x, which is folded once more.
                    delete left;
                    left = right;
                    right = nullptr;
                    kind = CA_NEGATION;
                    updateHeight();
                    continue;
                }
                break;
            case CA_PRODUCT:
                if (left->isOne())
                    replaceBy(right);
                else if (left->isZero())
                    becomeNumber({0.0, 0.0});
                break;
            default:
                if (left->isZero())
                    becomeNumber({0.0, 0.0});
                break;
            }
            return;
        }

        if (rightNumber) {
            switch (kind) {
            case CA_SUM:
            case CA_DIFFERENCE:
                if (right->isZero())
                    replaceBy(left);
                break;
            case CA_PRODUCT:
                if (right->isOne())
                    replaceBy(left);
                else if (right->isZero())
                    becomeNumber({0.0, 0.0});
                break;
            default:
                if (right->isOne()) {
                    replaceBy(left);
                } else if (complexAbs(right->value) == 0.0) {
                    PolyGrammarParser::report(kStrDivisionByZero);
                    becomeNumber(kDivisionByZeroValue);
                }
                break;
            }
        }
        return;
    }
}

int CaNode::priority() const
{
    switch (kind) {
    case CA_NUMBER:
    case CA_NAME:
        return 4;
    case CA_NEGATION:
        return 3;
    case CA_PRODUCT:
    case CA_QUOTIENT:
        return 2;
    case CA_SUM:
    case CA_DIFFERENCE:
        return 1;
    default:
        PolyGrammarParser::report(kStrInternalUnknownNodeType);
        return 0;
    }
}

void CaNode::printOperand(const CaNode* operand, int below)
{
    if (!operand)
        return;
    if (operand->priority() < below) {
        transferPrintf("(");
        operand->print();
        transferPrintf(")");
    } else {
        operand->print();
    }
}

void CaNode::print() const
{
    switch (kind) {
    case CA_NUMBER: {
        if (!isFinite(value)) {
            PolyGrammarParser::report(kStrLaplaceOverflow);
            return;
        }
        if (value.im != 0.0) {
            PolyGrammarParser::report(kStrLaplaceComplexResult);
            return;
        }
        char text[kMaxNumberText + 1];
        formatNumber(value.re, text);
        transferPrintf("%s", text);
        return;
    }
    case CA_NAME:
        transferPrintf("%s", name ? name : "");
        return;
    case CA_NEGATION:
        if (!left)
            return;
        if (left->priority() >= 3) {
            transferPrintf(" -");
            left->print();
        } else {
            transferPrintf(" -(");
            left->print();
            transferPrintf(")");
        }
        return;
    case CA_SUM:
        printOperand(left, 1);
        transferPrintf("+");
        printOperand(right, 1);
        return;
    case CA_DIFFERENCE:
        printOperand(left, 1);
        transferPrintf("- ");
        printOperand(right, 2);
        return;
    case CA_PRODUCT:
        printOperand(left, 2);
        transferPrintf("*");
        printOperand(right, 2);
        return;
    case CA_QUOTIENT:
        printOperand(left, 2);
        transferPrintf("/");
        printOperand(right, 3);
        return;
    default:
        PolyGrammarParser::report(kStrInternalUnknownNodeType);
        return;
    }
}

CaNode* copyTree(const CaNode* tree)
{
    if (!tree)
        return new CaNode(0.0);
    if (PolyGrammarParser::tooLargeNow())
        return new CaNode(1.0);
    unsigned long n = tree->countNodes(kTransferNodeBudget);
    if (!PolyGrammarParser::reserveNodes(n))
        return new CaNode(1.0);
    return new CaNode(*tree);
}
