#include "engine/worker_job.h"

#include "engine/output_stage.h"

namespace sonorel {

void OutputJob::operator()() const {
    FinishBlock(estimateL, estimateR, params, filters, state, out);
}

}  // namespace sonorel
