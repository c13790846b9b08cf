// Every model the linked Hamlib lists, from its capabilities alone: each write the window makes
// is either carried out by a function the model has or refused with a reason, never planned into
// nothing.

#include <gtest/gtest.h>

#include "HamlibInternals.h"
#include "HamlibLibrary.h"
#include "ParamBits.h"
#include "RigAbilities.h"
#include "WritePlan.h"

using namespace OmniRig;

namespace {

using Kind = RigWrite::Kind;

// What is wrong with the plan for these writes on this model; empty when nothing is.
std::string checkPlan(const HamlibFacts& facts, const std::vector<RigWrite>& writes) {
    const RigAbilities abilities = RigAbilities::of(facts);
    RigState radio;  // on VFO A, nothing else known
    radio.vfo = VFOA;
    const std::vector<RadioOp> ops = planWrites(radio, writes, abilities);
    std::string problems;
    for (const RadioOp& op : ops) {
        const bool has =
            op.kind == RadioOp::Kind::SelectVfo ? facts.setVfo
            : op.kind == RadioOp::Kind::Frequency
                ? facts.setFreq && (!op.named || facts.targetable & RIG_TARGETABLE_FREQ)
            : op.kind == RadioOp::Kind::Mode
                ? facts.setMode && (!op.named || facts.targetable & RIG_TARGETABLE_MODE)
                : true;
        if (!has) {
            problems += " a command it lacks (" + std::to_string(static_cast<int>(op.kind)) + ");";
        }
    }
    for (const RigWrite& w : writes) {
        if (w.kind != Kind::Frequency && w.kind != Kind::Mode) {
            continue;
        }
        const bool planned = std::any_of(ops.begin(), ops.end(), [&](const RadioOp& op) {
            return op.value == w.value && op.vfo == w.vfo &&
                   (op.kind == RadioOp::Kind::Frequency) == (w.kind == Kind::Frequency);
        });
        const auto reason = abilities.refusal(w, radio.vfo);
        if (planned == reason.has_value() || (reason && reason->empty())) {
            problems += planned ? " planned and refused;" : " neither planned nor refused;";
        }
    }
    return problems;
}

}  // namespace

TEST(ModelTable, EveryWriteOfEveryModelIsCarriedOutOrRefusedWithAReason) {
    const auto& models = HamlibLibrary::models();
    ASSERT_GT(models.size(), 200u);
    ASSERT_TRUE(HamlibLibrary::runsAsBuilt()) << "the capabilities cannot be read";
    const std::vector<RigWrite> current = {{Kind::Frequency, 7'074'000, VFOA},
                                           {Kind::Mode, USB, VFOA}};
    const std::vector<RigWrite> other = {{Kind::Vfo, VFOB, VFOA},
                                         {Kind::Frequency, 7'074'000, VFOB},
                                         {Kind::Mode, USB, VFOB},
                                         {Kind::Vfo, VFOA, VFOB}};
    int refusingVfoB = 0;
    for (const auto& model : models) {
        const HamlibFacts facts = HamlibInternals::ofModel(model.number);
        ASSERT_TRUE(facts.complete) << model.number;
        EXPECT_EQ(checkPlan(facts, current), "")
            << model.number << " " << model.name << ", into the current VFO";
        EXPECT_EQ(checkPlan(facts, other), "")
            << model.number << " " << model.name << ", into the other VFO";
        refusingVfoB += !RigAbilities::of(facts).selectsVfo;
    }
    // A third of them: the FT-891, FT-897, receivers, SDRs.
    EXPECT_GT(refusingVfoB, 50);
}
