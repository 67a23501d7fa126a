# Closing steps of the lesson walk: the award, the lesson media and the
# leaving (sourced by scripts/lesson.sh after the in-class steps).
walk_closing() {
    :
}
