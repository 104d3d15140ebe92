#pragma once
#include <cstdio>

// Each bench states its budgets as one line apiece, which tools/budgets.sh gathers into one
// table: "budget<TAB>what<TAB>figure<TAB>target<TAB>pass|FAIL".
inline bool ReportBudget(const char* what, const char* figure, const char* target, bool met)
{
    std::printf("budget\t%s\t%s\t%s\t%s\n", what, figure, target, met ? "pass" : "FAIL");
    std::fflush(stdout);
    return met;
}
