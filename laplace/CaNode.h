// Symbolic coefficients of transfer functions: expression trees over numbers
// (complex), parameter names and the four basic operations, folded where the
// operands are numbers and printed in model-language syntax.
#ifndef KYT_LAPLACE_CANODE_H
#define KYT_LAPLACE_CANODE_H

#include <cstddef>

struct CaComplex {
    double re;
    double im;
};

CaComplex complexAdd(CaComplex a, CaComplex b);
CaComplex complexSub(CaComplex a, CaComplex b);
CaComplex complexMul(CaComplex a, CaComplex b);
// A zero divisor gives 1e20 + 1e20j.
CaComplex complexDiv(CaComplex a, CaComplex b);
double complexAbs(CaComplex a);

enum CaKind {
    CA_NUMBER = 0,
    CA_NAME = 1,
    CA_NEGATION = 2,
    CA_SUM = 3,
    CA_DIFFERENCE = 4,
    CA_PRODUCT = 5,
    CA_QUOTIENT = 6
};

class CaNode {
public:
    // The number 0.
    CaNode();
    explicit CaNode(double re);
    // A name node; the text is copied.
    explicit CaNode(const char* text);
    CaNode(double re, double im);
    // Deep copy.
    CaNode(const CaNode& other);
    // An operator node of kind 2 to 6; it owns both operands from now on.
    CaNode(int kind, CaNode* left, CaNode* right);
    virtual ~CaNode();

    // Nodes live on the checked heap, like every record of the polynomial code.
    static void* operator new(size_t size);
    static void operator delete(void* p);

    // Folds the tree in place.
    void simplify();
    // Writes the tree into the live parser's work file.
    void print() const;
    // 4 number and name, 3 negation, 2 product and quotient, 1 sum and
    // difference; an unknown kind stores 20201 and counts 0.
    int priority() const;

    // Some number of the tree is infinite or NaN: the block would not compile.
    bool hasNonFiniteNumber() const;

    // A number of modulus 0.
    bool isZero() const;
    // The number 1 exactly (re 1.0, im +0 or -0).
    bool isOne() const;
    // A sum or a difference: needs parentheses as a factor.
    bool isLow() const { return priority() < 2; }

    // Height of the tree (1 for a leaf), kept so that the recursive walks
    // over a tree stay within a known depth.
    int getHeight() const { return height; }
    // Number of nodes of the tree, counting at most up to limit + 1.
    unsigned long countNodes(unsigned long limit) const;

    CaNode* left;
    CaNode* right;
    int kind;
    CaComplex value;
    char* name;

private:
    CaNode& operator=(const CaNode&) = delete;
    void becomeNumber(CaComplex v);
    void replaceBy(CaNode* operand);
    void updateHeight();
    static void printOperand(const CaNode* operand, int below);

    int height;
};

// A copy of tree for the polynomial code. When the copy would go beyond the
// node budget of the live parser, the parse is marked too large and the
// number 1 stands in for the copy.
CaNode* copyTree(const CaNode* tree);

#endif
