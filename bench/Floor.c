/* The Wine process floor: a console program that returns at once. */
int main(void)
{
    return 0;
}
