# Steps of the lesson walk inside the class page (sourced by
# scripts/lesson.sh once both classrooms are open).
walk_inclass() {
    :
}
