// Model texts of a given size, made in memory, for the compile benchmark and
// the test that holds the PI text of a large circuit: a ring of n first-order
// blocks (one block type, n instances, n connections) and a single block of
// n statements.
#ifndef KYT_TESTS_GENERATEDMODELS_H
#define KYT_TESTS_GENERATEDMODELS_H

#include <string>
#include <utility>
#include <vector>

namespace generated {

// n instances b0 .. b(n-1) of one PT1 type, each b(i-1).y connected to
// b(i).u and the last one's output back to b0.u; every tenth instance has
// its own time constant, and the first and the last are saved.
inline std::string blockChain(int n)
{
    std::string s = "BLOCK PT1;\n"
                    "INPUT u;\n"
                    "OUTPUT y;\n"
                    "PARAMETER K = 1.; T = 1.;\n"
                    "STATE x = 0.;\n"
                    "SIM\n"
                    "  x .= (K*u - x)/T;\n"
                    "  y = x;\n"
                    "ENDSIM\n"
                    "ENDBLOCK PT1;\n"
                    "\n"
                    "CIRCUIT Kette;\n";
    for (int i = 0; i < n; ++i) {
        s += "USE PT1 AS b" + std::to_string(i) + "\n";
        if (i % 10 == 0)
            s += "  T = " + std::to_string(1 + i % 7) + ".;\n";
        s += "ENDUSE\n";
    }
    s += "CONNECT ";
    for (int i = 0; i < n; ++i) {
        int from = (i + n - 1) % n;
        s += "b" + std::to_string(from) + ".y TO b" + std::to_string(i) + ".u";
        s += i + 1 < n ? ",\n  " : ";\n";
    }
    s += "SAVE b0.y, b" + std::to_string(n - 1) + ".y;\n";
    s += "ENDCIRCUIT Kette;\n";
    return s;
}

// One block with n VARs v1 .. vn, each computed from the one before in
// its own statement, and a state driven by the last one; the derivative
// is written first and waits for all of them.
inline std::string singleBlock(int n)
{
    std::string s = "BLOCK Gross;\n"
                    "STATE x = 1.;\n"
                    "VAR";
    for (int i = 1; i <= n; ++i)
        s += " v" + std::to_string(i) + ";";
    s += "\nSIM\n";
    s += "  x .= -x + v" + std::to_string(n) + "/1000;\n";
    s += "  v1 = x;\n";
    for (int i = 2; i <= n; ++i)
        s += "  v" + std::to_string(i) + " = v" + std::to_string(i - 1) + " + 1;\n";
    s += "ENDSIM\n"
         "ENDBLOCK Gross;\n"
         "\n"
         "CIRCUIT Einzel;\n"
         "USE Gross AS g\n"
         "ENDUSE\n"
         "SAVE g.x;\n"
         "ENDCIRCUIT Einzel;\n";
    return s;
}

// The statements of singleBlock written against their data flow: the last
// one first, so that ordering each takes the one at the end.
inline std::string singleBlockReversed(int n)
{
    std::string s = "BLOCK Gross;\n"
                    "STATE x = 1.;\n"
                    "VAR";
    for (int i = 1; i <= n; ++i)
        s += " v" + std::to_string(i) + ";";
    s += "\nSIM\n";
    s += "  x .= -x + v" + std::to_string(n) + "/1000;\n";
    for (int i = n; i >= 2; --i)
        s += "  v" + std::to_string(i) + " = v" + std::to_string(i - 1) + " + 1;\n";
    s += "  v1 = x;\n";
    s += "ENDSIM\n"
         "ENDBLOCK Gross;\n"
         "\n"
         "CIRCUIT Einzel;\n"
         "USE Gross AS g\n"
         "ENDUSE\n"
         "SAVE g.x;\n"
         "ENDCIRCUIT Einzel;\n";
    return s;
}

// One block whose INIT section assigns n VARs in an order mixed by a fixed
// sequence of numbers: each reads up to two VARs of lower number, about a
// third are assigned in two IF statements (so their readers wait for every
// IF that assigns them), and a pair w1, w2 comes last.
inline std::string mixedInit(int n)
{
    unsigned long long state = 12345;
    auto next = [&state](unsigned long long below) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<int>((state >> 33) % below);
    };
    std::vector<std::string> statements;
    for (int i = 1; i <= n; ++i) {
        std::string value = "x";
        int reads = i > 1 ? next(3) : 0;
        for (int r = 0; r < reads; ++r)
            value += " + v" + std::to_string(1 + next(static_cast<unsigned long long>(i - 1)));
        std::string v = "v" + std::to_string(i);
        if (next(10) < 3) {
            std::string limit = std::to_string(i % 3);
            statements.push_back("  IF x > " + limit + " THEN " + v + " = " + value + "; ENDIF\n");
            statements.push_back("  IF x <= " + limit + " THEN " + v + " = " + value + " + 1; ENDIF\n");
        } else {
            statements.push_back("  " + v + " = " + value + ";\n");
        }
    }
    for (size_t i = statements.size(); i > 1; --i)
        std::swap(statements[i - 1], statements[static_cast<size_t>(next(i))]);
    std::string s = "BLOCK Gemischt;\n"
                    "STATE x = 1.;\n"
                    "VAR w1; w2;";
    for (int i = 1; i <= n; ++i)
        s += " v" + std::to_string(i) + ";";
    s += "\nSIM\n"
         "  x .= -x;\n"
         "ENDSIM\n"
         "INIT\n";
    for (const std::string& statement : statements)
        s += statement;
    s += "  w2 = w1;\n"
         "  w1 = 1;\n"
         "ENDINIT\n"
         "ENDBLOCK Gemischt;\n"
         "\n"
         "CIRCUIT Gemischt;\n"
         "USE Gemischt AS g\n"
         "ENDUSE\n"
         "ENDCIRCUIT Gemischt;\n";
    return s;
}

// The ring of blockChain with more of the language on every instance: a
// procedure scheduled from INIT, a DISCRETE var, a STRING parameter and a
// SOCKET parameter set to THIS, the instances named in seven THIS groups,
// one writer per group ahead of them, and a block that ends the run.
inline std::string richChain(int n)
{
    std::string s = "BLOCK Tap;\n"
                    "PARAMETER bus SOCKET = THIS;\n"
                    "SIM\n"
                    "  bus = NOW;\n"
                    "ENDSIM\n"
                    "ENDBLOCK Tap;\n"
                    "\n"
                    "BLOCK PT1;\n"
                    "INPUT u;\n"
                    "OUTPUT y;\n"
                    "PARAMETER K = 1.; T = 1.; bus SOCKET = THIS; name STRING = THIS;\n"
                    "STATE x = 0.;\n"
                    "VAR w;\n"
                    "VAR n = 0 DISCRETE\n"
                    "SIM\n"
                    "  x .= (K*u - x)/T;\n"
                    "  w = bus*K;\n"
                    "  y = x + n;\n"
                    "ENDSIM\n"
                    "PROCEDURE tick;\n"
                    "  n := n + 1;\n"
                    "ENDPROCEDURE\n"
                    "INIT\n"
                    "  SCHEDULE tick AT T;\n"
                    "ENDINIT\n"
                    "ENDBLOCK PT1;\n"
                    "\n"
                    "BLOCK Control;\n"
                    "PARAMETER tend = 10.;\n"
                    "PROCEDURE stop;\n"
                    "  EXIT \"Ende\";\n"
                    "ENDPROCEDURE\n"
                    "INIT\n"
                    "  SCHEDULE stop AT tend;\n"
                    "ENDINIT\n"
                    "ENDBLOCK Control;\n"
                    "\n"
                    "CIRCUIT Gruppen;\n";
    for (int g = 0; g < 7; ++g)
        s += "USE Tap AS tap" + std::to_string(g) + " THIS Gruppe" + std::to_string(g) + "\nENDUSE\n";
    for (int i = 0; i < n; ++i) {
        s += "USE PT1 AS b" + std::to_string(i) + " THIS Gruppe" + std::to_string(i % 7) + "\n";
        if (i % 10 == 0)
            s += "  T = " + std::to_string(1 + i % 7) + ".;\n";
        if (i % 3 == 0)
            s += "  K = 0." + std::to_string(i % 9) + ";\n";
        s += "ENDUSE\n";
    }
    s += "USE Control AS ctl\nENDUSE\n";
    s += "CONNECT ";
    for (int i = 0; i < n; ++i) {
        int from = (i + n - 1) % n;
        s += "b" + std::to_string(from) + ".y TO b" + std::to_string(i) + ".u";
        s += i + 1 < n ? ",\n  " : ";\n";
    }
    s += "SAVE b0.y, db1.x, b" + std::to_string(n / 2) + ".w;\n";
    s += "ENDCIRCUIT Gruppen;\n";
    return s;
}

} // namespace generated

#endif
