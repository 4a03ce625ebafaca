#include <cstdlib>

#include "rbf/lu_solve.h"
#include "rbf/rbf.h"

namespace {

// Releases whatever of a record exists; rows that were never allocated are null.
void ReleaseRbf(Rbf *rbf) {
    if (RbfMatrix *m = rbf->matrix) {
        if (m->rows)
            for (int32_t i = 0; i < m->rowCount; ++i) std::free(m->rows[i]);
        std::free(m->rows);
        m->rows = nullptr;
        m->rowCount = 0;
        m->columnCount = 0;
        std::free(m);
    }
    std::free(rbf->weights);
    std::free(rbf);
}

// Whether the record is whole and square as created, so that the solve stays inside its arrays.
bool IsSquare(const Rbf *rbf) {
    const RbfMatrix *m = rbf->matrix;
    return m && m->rows && rbf->weights && m->rowCount == rbf->nodeCount && m->columnCount == rbf->nodeCount;
}

}  // namespace

Rbf *vantic_CreateRbf(int32_t n) {
    if (n < 0 || n > vantic::kLuMaxOrder) return nullptr;
    const size_t count = static_cast<size_t>(n > 0 ? n : 1);  // never a zero-byte request
    Rbf *rbf = static_cast<Rbf *>(std::calloc(1, sizeof(Rbf)));
    if (!rbf) return nullptr;
    rbf->nodeCount = n;
    rbf->matrix = static_cast<RbfMatrix *>(std::calloc(1, sizeof(RbfMatrix)));
    rbf->weights = static_cast<double *>(std::calloc(count, sizeof(double)));
    if (!rbf->matrix || !rbf->weights) {
        ReleaseRbf(rbf);
        return nullptr;
    }
    RbfMatrix *m = rbf->matrix;
    m->rowCount = n;
    m->columnCount = n;
    m->rows = static_cast<double **>(std::calloc(count, sizeof(double *)));
    if (!m->rows) {
        ReleaseRbf(rbf);
        return nullptr;
    }
    for (int32_t i = 0; i < n; ++i) {
        double *row = static_cast<double *>(std::malloc(count * sizeof(double)));
        if (!row) {
            ReleaseRbf(rbf);
            return nullptr;
        }
        for (int32_t j = 0; j < n; ++j) row[j] = 1.0;  // an entry never set takes part as 1.0
        m->rows[i] = row;
    }
    return rbf;
}

void vantic_DeleteRbf(Rbf *rbf) {
    if (rbf) ReleaseRbf(rbf);
}

void vantic_RbfSetDist(Rbf *rbf, int32_t i, int32_t j, double value) {
    if (!rbf || !rbf->matrix || !rbf->matrix->rows) return;
    RbfMatrix *m = rbf->matrix;
    if (i >= 0 && i < m->rowCount && j >= 0 && j < m->columnCount) m->rows[i][j] = value;
}

void vantic_RbfSolve(Rbf *rbf) {
    if (!rbf || !IsSquare(rbf)) return;
    const int32_t n = rbf->nodeCount;
    double *ones = static_cast<double *>(std::malloc(static_cast<size_t>(n > 0 ? n : 1) * sizeof(double)));
    if (!ones) return;
    for (int32_t i = 0; i < n; ++i) ones[i] = 1.0;
    // A singular system leaves the weights as they were; nothing is reported.
    vantic::LuSolve(rbf->matrix, ones, rbf->weights);
    std::free(ones);
}

double vantic_RbfInterpolate(const Rbf *rbf, int32_t i, double value) {
    if (!rbf || !rbf->weights || i < 0 || i >= rbf->nodeCount) return 0.0;
    return value * rbf->weights[i];
}
