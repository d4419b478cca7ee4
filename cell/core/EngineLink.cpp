// SPDX-License-Identifier: GPL-3.0-or-later
// Binding references to cells and ordering the formulas by their dependencies: done once after
// formulas or the set of cells change, not on every recalculation.
#include "Engine.h"

#include <algorithm>

namespace lw {

namespace {
// Cells bound in all ranges together: beyond it a hostile file's ranges become #REF!.
constexpr qint64 MaxBoundCells = 20000000;
} // namespace

void Engine::link()
{
    // Single cells first, so that no range is bound before a cell inside it is created.
    // Defined names become the references they stand for.
    for (FormulaEntry &e : m_entries) {
        if (!e.cell)
            continue;
        for (RefSpec &r : e.parsed.refs) {
            if (r.name.isEmpty())
                continue;
            int si = -1;
            CellRange rect;
            r.bad = !m_book.resolveName(r.name, e.sheet, &si, &rect);
            if (r.bad)
                continue;
            r.hasSheet = true;
            r.sheet = m_book.sheet(si)->name;
            r.col1 = rect.col1;
            r.row1 = rect.row1;
            r.col2 = rect.col2;
            r.row2 = rect.row2;
            r.range = !(rect.col1 == rect.col2 && rect.row1 == rect.row2);
        }
    }
    for (FormulaEntry &e : m_entries) {
        if (!e.cell)
            continue;
        for (const RefSpec &r : e.parsed.refs) {
            if (r.range || r.bad)
                continue;
            const int si = r.hasSheet ? m_book.sheetIndex(r.sheet) : e.sheet;
            if (Sheet *sh = m_book.sheet(si))
                sh->ensure(r.col1, r.row1);
        }
    }
    size_t maxStack = 1;
    // Ranges are cut from each sheet's cells sorted once; the cells bound in all ranges together
    // are capped, so a hostile file cannot make binding or recalculation run for ever.
    QHash<const Sheet *, std::vector<Cell *>> sorted;
    qint64 budget = MaxBoundCells;
    for (FormulaEntry &e : m_entries) {
        if (!e.cell)
            continue;
        e.links.assign(e.parsed.refs.size(), LinkedRef());
        maxStack = std::max(maxStack, size_t(e.parsed.maxStack) + 1);
        for (size_t i = 0; i < e.parsed.refs.size(); ++i) {
            const RefSpec &r = e.parsed.refs[i];
            LinkedRef &l = e.links[i];
            const int si = r.hasSheet ? m_book.sheetIndex(r.sheet) : e.sheet;
            Sheet *sh = r.bad ? nullptr : m_book.sheet(si);
            if (!r.name.isEmpty() && r.bad)
                l.error = CellError::Name;
            if (!sh)
                continue;
            l.sheet = sh;
            l.rect = {r.col1, r.row1, r.col2, r.row2};
            l.range = r.range;
            if (!r.range) {
                l.cell = sh->find(r.col1, r.row1);
                continue;
            }
            auto it = sorted.find(sh);
            if (it == sorted.end())
                it = sorted.insert(sh, sh->sortedCells());
            const std::vector<Cell *> &cells = it.value();
            auto first = std::lower_bound(cells.begin(), cells.end(), r.row1,
                                          [](const Cell *c, int row) { return c->row < row; });
            for (auto c = first; c != cells.end() && (*c)->row <= r.row2; ++c) {
                if ((*c)->col >= r.col1 && (*c)->col <= r.col2)
                    l.cells.push_back(*c);
                if (--budget < 0)
                    break;
            }
            if (budget < 0) {
                l.cells.clear();
                l.sheet = nullptr; // #REF!
            }
        }
    }
    m_stack.resize(maxStack);
    order();
    m_linked = true;
}

// Tarjan's strongly connected components, iteratively: precedents come out before their
// dependents, and a component of more than one formula (or one that reads itself) is a cycle.
void Engine::order()
{
    const int n = int(m_entries.size());
    std::vector<int> start(n + 1, 0), adj;
    std::vector<char> selfLoop(n, 0);
    for (int i = 0; i < n; ++i) {
        start[i] = int(adj.size());
        const FormulaEntry &e = m_entries[i];
        if (!e.cell)
            continue;
        auto edge = [&](const Cell *c) {
            if (c && c->formula >= 0) {
                if (c->formula == i)
                    selfLoop[i] = 1;
                adj.push_back(c->formula);
            }
        };
        for (const LinkedRef &l : e.links) {
            if (l.range)
                for (const Cell *c : l.cells)
                    edge(c);
            else
                edge(l.cell);
        }
    }
    start[n] = int(adj.size());

    std::vector<int> index(n, -1), low(n, 0), stack;
    std::vector<char> onStack(n, 0);
    std::vector<std::pair<int, int>> calls;
    m_order.clear();
    int counter = 0;
    for (int root = 0; root < n; ++root) {
        if (!m_entries[root].cell || index[root] >= 0)
            continue;
        calls.push_back({root, start[root]});
        index[root] = low[root] = counter++;
        stack.push_back(root);
        onStack[root] = 1;
        while (!calls.empty()) {
            auto &[v, pos] = calls.back();
            if (pos < start[v + 1]) {
                const int w = adj[pos++];
                if (index[w] < 0) {
                    index[w] = low[w] = counter++;
                    stack.push_back(w);
                    onStack[w] = 1;
                    calls.push_back({w, start[w]});
                } else if (onStack[w]) {
                    low[v] = std::min(low[v], index[w]);
                }
                continue;
            }
            const int done = v;
            calls.pop_back();
            if (!calls.empty())
                low[calls.back().first] = std::min(low[calls.back().first], low[done]);
            if (low[done] == index[done]) {
                const size_t first = std::find(stack.begin(), stack.end(), done) - stack.begin();
                const bool cyclic = stack.size() - first > 1 || selfLoop[done];
                for (size_t k = first; k < stack.size(); ++k) {
                    onStack[stack[k]] = 0;
                    m_entries[stack[k]].cyclic = cyclic;
                    m_order.push_back(stack[k]);
                }
                stack.resize(first);
            }
        }
    }
}

} // namespace lw
